// Sending a support report by mail, or saving it as a zip archive on the desktop, with
// the submission log, the toolkit's error reports and every message the user sees.
//
// Mail, one step after the other; each writes its title to the log and "Done" after it:
//   Set email registry -> Setup SMTP -> Verify connection -> Create email text ->
//   Add attachments -> Compress attachments -> Sending -> Cleanup
// A failing step records its reason and goes straight to Cleanup; then the user learns
// the outcome and, after a failure, may save the report to the desktop instead.
#pragma once
#include <functional>
#include <string>

#include <winuser.h>

#include "support/SupportReport.h"

namespace tabrik::arx {

// The submission log: the log folder's text followed by "nv_submit.log", narrow text.
class SubmitLog {
 public:
  explicit SubmitLog(const std::wstring& folder);
  // Empties the log: it keeps the steps of the last submission only.
  void restart();
  void append(const char* text);
  void close() { m_open = false; }

 private:
  std::string m_path;
  bool m_open = true;
};

class SupportReportDelivery {
 public:
  // Message boxes are owned by owner; status shows a progress text in the dialog.
  SupportReportDelivery(HWND owner, std::function<void(const std::wstring&)> status)
      : m_owner(owner), m_status(std::move(status)) {}

  // Mails the report (the address already checked). True when it was sent, or when
  // the user chose the desktop archive after a failure and it was saved: the dialog
  // may close then.
  bool mail(const SupportReport& report, SubmitLog& log);
  // Saves the report as a zip archive on the desktop and tells the user; true when the
  // archive was written.
  bool saveToDesktop(const SupportReport& report);

 private:
  bool mailSteps(const SupportReport& report, SubmitLog& log, std::wstring& reason);
  int message(const std::wstring& text, const wchar_t* caption, UINT style);

  HWND m_owner;
  std::function<void(const std::wstring&)> m_status;
};

}  // namespace tabrik::arx
