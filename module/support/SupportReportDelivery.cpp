// Mailing a support report or saving it on the desktop (see SupportReportDelivery.h).
#include "support/SupportReportDelivery.h"

#include <exception>
#include <vector>

#include <acedads.h>
#include <adscodes.h>
#include <acutads.h>
#include <fileapi.h>
#include <shlobj.h>
#include <winuser.h>

#include "support/NarrowText.h"
#include "support/SupportConfiguration.h"
#include "support/TransferProgress.h"
#include "support/UserSettings.h"
#include "toolkit/NativeFiles.h"
#include "toolkit/SmtpMail.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kCaption = L"Norvane";
// Error reports land in the process's working folder.
constexpr const char* kMailErrorReport = "nv_submiterror.xml";
constexpr const char* kZipErrorReport = "nv_ziperror.xml";

std::wstring supportAddress() { return wideText(supportConfiguration().supportAddress); }

// The folder "NV_temp" in the user's temporary folder, created when missing; its path
// ends with a separator. Empty when there is none.
std::wstring temporaryFolder() {
  wchar_t buffer[MAX_PATH + 1] = L"";
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) {
    return {};
  }
  std::wstring folder = std::wstring(buffer) + L"NV_temp";
  CreateDirectoryW(folder.c_str(), nullptr);
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return {};
  }
  return folder + L"\\";
}

std::string native(const std::wstring& path) { return toolkit::nativePath(narrowText(path)); }

std::vector<std::wstring> presentAttachments(const SupportReport& report) {
  std::vector<std::wstring> files;
  for (const std::wstring& file : report.attachments) {
    if (!file.empty()) {
      files.push_back(file);
    }
  }
  return files;
}

}  // namespace

SubmitLog::SubmitLog(const std::wstring& folder) : m_path(native(folder + L"nv_submit.log")) {}

void SubmitLog::restart() { toolkit::writeFile(m_path, "", /*append=*/false); }

void SubmitLog::append(const char* text) {
  if (m_open) {
    toolkit::writeFile(m_path, text, /*append=*/true);
  }
}

int SupportReportDelivery::message(const std::wstring& text, const wchar_t* caption, UINT style) {
  return MessageBoxW(m_owner, text.c_str(), caption, style);
}

bool SupportReportDelivery::mailSteps(const SupportReport& report, SubmitLog& log,
                                      std::wstring& reason) {
  const SupportConfiguration& configuration = supportConfiguration();

  log.append("Set email registry...\n");
  writeUserSetting(L"Shared", L"Email", report.email);
  log.append("Done\n");

  log.append("Setup SMTP...\n");
  toolkit::SmtpMail mail;
  mail.setup({configuration.smtpHost, configuration.smtpPort, configuration.smtpUser,
              configuration.smtpPassword, configuration.caFile, configuration.timeoutSeconds});
  log.append("Done\n");

  log.append("Verify connection...\n");
  if (!mail.verifyConnection()) {
    reason = L"Could not connect to the SMTP server.";
    mail.errors().save(kMailErrorReport, "mail");
    return false;
  }
  m_status(L"Connection Successful");
  log.append("Done\n");

  log.append("Create email text...\n");
  toolkit::MailMessage message;
  message.subject = narrowText(reportSubject(report.kind, report.information));
  message.body = narrowText(reportBody(report));
  message.fromName = narrowText(report.name);
  message.fromAddress = narrowText(report.email);
  message.to = configuration.supportAddress;
  log.append("Done\n");

  log.append("Add attachments...\n");
  m_status(L"Adding attachments...");
  const std::vector<std::wstring> files = presentAttachments(report);
  for (const std::wstring& file : files) {
    if (!toolkit::isRegularFile(native(file))) {
      toolkit::ErrorReport errors;
      errors.add("attach", "not a file: " + narrowText(file));
      errors.save(kMailErrorReport, "mail");
      reason = L"There was an error creating the mail attachments.";
      return false;
    }
  }
  log.append("Done\n");

  log.append("Compress attachments...\n");
  m_status(L"Zipping attachments...");
  if (!files.empty()) {
    const std::wstring archivePath =
        temporaryFolder() + reportArchiveName(report.name, report.archiveLabel);
    TransferProgress progress(L"Zipping attachments");
    toolkit::ZipArchive archive;
    archive.setProgress(progress.callback());
    bool zipped = archive.create(narrowText(archivePath));
    for (std::size_t i = 0; zipped && i < files.size(); ++i) {
      zipped = archive.addFile(narrowText(files[i]));
    }
    zipped = zipped && archive.write();
    archive.close();
    if (!zipped) {
      archive.errors().save(kMailErrorReport, "zip");
      reason = L"There was an error compressing one or more of the file attachments.";
      return false;
    }
    message.files.push_back(narrowText(archivePath));
  }
  log.append("Done\n");

  log.append("Sending...\n");
  TransferProgress progress(L"Sending");
  mail.setProgress(progress.callback());
  if (!mail.send(message)) {
    mail.errors().save(kMailErrorReport, "mail");
    reason = L"An error occurred while sending the email and was unable to finish.";
    return false;
  }
  log.append("Done\n");
  return true;
}

bool SupportReportDelivery::mail(const SupportReport& report, SubmitLog& log) {
  std::wstring reason;
  bool sent = false;
  try {
    sent = mailSteps(report, log, reason);
  } catch (const std::exception&) {
    log.append("Unexpected Error\n");
    log.close();
    message(L"Message could not be sent due to an unexpected error.", kCaption,
            MB_OK | MB_ICONERROR);
    return false;
  }
  log.append("Cleanup...\n");
  log.append("Done\n");
  log.close();

  if (sent) {
    message(L"Message sent successfully.", kCaption, MB_OK | MB_ICONINFORMATION);
    return true;
  }
  const std::wstring question =
      L"Message could not be sent.\n" + reason +
      L"\n\nWould you like to save the report to your desktop and send it by hand to " +
      supportAddress() + L"?";
  if (message(question, kCaption, MB_YESNO | MB_ICONWARNING) != IDYES) {
    return false;
  }
  writeUserSetting(L"Shared", L"bSendToDesktop2", L"1");
  const bool saved = saveToDesktop(report);
  message(
      L"Please send an e-mail with the saved file attached to " + supportAddress() + L" yourself.",
      kCaption, MB_OK | MB_ICONINFORMATION);
  return saved;
}

bool SupportReportDelivery::saveToDesktop(const SupportReport& report) {
  const std::wstring archiveName = reportArchiveName(report.name, report.archiveLabel);
  std::vector<std::wstring> files = presentAttachments(report);

  const std::wstring folder = temporaryFolder();
  if (!folder.empty()) {
    const std::wstring errorText = folder + L"nv_error.txt";
    if (toolkit::writeFile(native(errorText), narrowText(reportBody(report)), /*append=*/false)) {
      files.push_back(errorText);
    }
  }

  toolkit::ZipArchive archive;
  auto failed = [&](const wchar_t* text) {
    archive.close();
    archive.errors().save(kZipErrorReport, "zip");
    message(text, kCaption, MB_OK | MB_ICONERROR);
    return false;
  };
  wchar_t desktop[MAX_PATH + 1] = L"";
  if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop) !=
      S_OK) {
    return failed(L"Unable to locate desktop path.");
  }
  const std::wstring archivePath =
      std::wstring(desktop) + L"\\" + desktopArchiveName(supportAddress(), archiveName);
  TransferProgress progress(L"Saving to the desktop");
  archive.setProgress(progress.callback());
  if (!archive.create(narrowText(archivePath))) {
    return failed(L"Failed to create new zip folder.");
  }
  for (const std::wstring& file : files) {
    if (!archive.addFile(narrowText(file))) {
      return failed(L"An error occurred while compressing attachments.");
    }
  }
  if (!archive.write()) {
    return failed(L"An error occurred while closing the zip file.");
  }

  message(L"EMAIL NOT SENT!\n\nFile \"" + archivePath +
              L"\" was saved to the desktop but has not been sent.\nPlease send this file to " +
              supportAddress() + L" by hand.",
          L"EMAIL NOT SENT!", MB_OK | MB_ICONWARNING);
  const std::wstring command = L"explorer.exe /select," + archivePath;
  resbuf* call = acutBuildList(RTSTR, L"startapp", RTSTR, command.c_str(), 0);
  resbuf* result = nullptr;
  acedInvoke(call, &result);
  acutRelRb(call);
  if (result != nullptr) {
    acutRelRb(result);
  }
  return true;
}

}  // namespace tabrik::arx
