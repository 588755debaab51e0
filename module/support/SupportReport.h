// A support report as the user fills it in (name, addresses, phone, description, files)
// with what the calling LISP code adds (report kind, archive label, log folder, extra
// text), and the rules that turn it into a mail or an archive name. The dialog
// (CSubmitBug) owns one; SupportReportDelivery sends or saves it.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tabrik::arx {

// Report kinds that LISP passes; any other value is a general message.
enum ReportKind : int {
  kReportProject = 0,
  kReportProblem = 1,
  kReportMasterAndStandards = 4,
  kReportStandards = 5,
};

struct SupportReport {
  int kind = kReportProblem;
  std::wstring archiveLabel;
  std::wstring logFolder;  // the log is this text followed by "nv_submit.log"
  std::wstring extraText;
  std::wstring name;
  std::wstring email;
  std::wstring emailRepeat;
  std::wstring phone;
  std::wstring information;
  std::vector<std::wstring> attachments;  // full paths; empty entries are skipped
};

// The message that refuses the address pair, or empty when it may be used: empty
// address, malformed address, the maker's own domain, repetition differing (in that
// order of checks).
std::wstring emailProblem(const std::wstring& address, const std::wstring& repeat,
                          const std::wstring& makerDomain);
// Exactly one '@', a '.' somewhere after it, and only letters, digits, '_', '.', '@'
// and '-'.
bool isWellFormedEmail(const std::wstring& address);

// "NV Project", "NV Bug" or "NV Email" by kind; with a description, ": " and its start:
// at most 100 characters, cut before the first line break, '?', '!' or '.'.
std::wstring reportSubject(int kind, const std::wstring& information);
// The phone and a line feed when given; a line feed; the description; two line feeds;
// the extra text; a line feed.
std::wstring reportBody(const SupportReport& report);
// The user's name trimmed and without the characters file names cannot hold, or
// "NV Attachment" when nothing is left; then a blank and the label when there is one;
// then ".zip".
std::wstring reportArchiveName(const std::wstring& name, const std::wstring& label);
// The desktop archive's file name: "Send to ", the support address, "--", the name.
std::wstring desktopArchiveName(const std::wstring& supportAddress,
                                const std::wstring& archiveName);
// The dialog's title for a kind; empty for kind 1, which keeps the template caption.
std::wstring submitDialogTitle(int kind);
// "", "(1 file)" or "(N files)".
std::wstring attachmentCountText(std::size_t count);

}  // namespace tabrik::arx
