// The rules of a support report's mail and archive (see SupportReport.h).
#include "support/SupportReport.h"

#include <algorithm>
#include <cwctype>

namespace tabrik::arx {
namespace {

bool isAsciiAlnum(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

std::wstring lowered(std::wstring text) {
  for (wchar_t& c : text) {
    c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  }
  return text;
}

}  // namespace

bool isWellFormedEmail(const std::wstring& address) {
  const std::size_t at = address.find(L'@');
  if (at == std::wstring::npos || address.find(L'@', at + 1) != std::wstring::npos ||
      address.find(L'.', at + 1) == std::wstring::npos) {
    return false;
  }
  return std::all_of(address.begin(), address.end(), [](wchar_t c) {
    return isAsciiAlnum(c) || c == L'_' || c == L'.' || c == L'@' || c == L'-';
  });
}

std::wstring emailProblem(const std::wstring& address, const std::wstring& repeat,
                          const std::wstring& makerDomain) {
  if (address.empty()) {
    return L"An e-mail address is needed.";
  }
  if (!isWellFormedEmail(address)) {
    return L"Invalid e-mail address.";
  }
  const std::wstring domain = lowered(address.substr(address.find(L'@') + 1));
  const std::wstring maker = lowered(makerDomain);
  if (!maker.empty() &&
      (domain == maker || (domain.size() > maker.size() &&
                           domain.compare(domain.size() - maker.size(), maker.size(), maker) == 0 &&
                           domain[domain.size() - maker.size() - 1] == L'.'))) {
    return L"Enter your email address. We will use this email address to reply to you.";
  }
  if (address != repeat) {
    return L"The e-mail addresses do not match.";
  }
  return {};
}

std::wstring reportSubject(int kind, const std::wstring& information) {
  std::wstring subject = kind == kReportProject   ? L"NV Project"
                         : kind == kReportProblem ? L"NV Bug"
                                                  : L"NV Email";
  if (information.empty()) {
    return subject;
  }
  std::size_t end = std::min<std::size_t>(information.size(), 100);
  const std::size_t lineFeed = information.find(L'\n');
  if (lineFeed != std::wstring::npos) {
    // An edit box ends its lines with a carriage return before the line feed.
    const std::size_t lineEnd =
        lineFeed > 0 && information[lineFeed - 1] == L'\r' ? lineFeed - 1 : lineFeed;
    end = std::min(end, lineEnd);
  }
  const std::size_t stop = information.find_first_of(L"?!.");
  if (stop != std::wstring::npos) {
    end = std::min(end, stop);
  }
  return subject + L": " + information.substr(0, end);
}

std::wstring reportBody(const SupportReport& report) {
  std::wstring body;
  if (!report.phone.empty()) {
    body += report.phone + L"\n";
  }
  body += L"\n" + report.information + L"\n\n" + report.extraText + L"\n";
  return body;
}

std::wstring reportArchiveName(const std::wstring& name, const std::wstring& label) {
  const std::size_t first = name.find_first_not_of(L" \t\r\n");
  const std::size_t last = name.find_last_not_of(L" \t\r\n");
  std::wstring cleaned;
  if (first != std::wstring::npos) {
    for (const wchar_t c : name.substr(first, last - first + 1)) {
      if (std::wstring_view(L"\\/?:*\"<>|").find(c) == std::wstring_view::npos) {
        cleaned += c;
      }
    }
  }
  if (cleaned.empty()) {
    cleaned = L"NV Attachment";
  }
  if (!label.empty()) {
    cleaned += L" " + label;
  }
  return cleaned + L".zip";
}

std::wstring desktopArchiveName(const std::wstring& supportAddress,
                                const std::wstring& archiveName) {
  return L"Send to " + supportAddress + L"--" + archiveName;
}

std::wstring submitDialogTitle(int kind) {
  switch (kind) {
    case kReportProject:
      return L"Send Project to Norvane Support";
    case kReportProblem:
      return {};
    case kReportMasterAndStandards:
      return L"Send Master and Standards Databases to Norvane Support";
    case kReportStandards:
      return L"Send Standards Databases to Norvane Support";
    default:
      return L"Send to Norvane Support";
  }
}

std::wstring attachmentCountText(std::size_t count) {
  if (count == 0) {
    return {};
  }
  return L"(" + std::to_wstring(count) + (count == 1 ? L" file)" : L" files)");
}

}  // namespace tabrik::arx
