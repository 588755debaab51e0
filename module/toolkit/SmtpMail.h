// Outgoing mail over SMTP with libcurl: STARTTLS whenever the server offers it, login
// when a user name is set, and a MIME message of a plain-text body and file
// attachments. Each step reports success as a bool and records failures in errors().
//
//   setup() --> verifyConnection() --> send(message) --> close()
// verifyConnection opens a connection, greets, upgrades to TLS and logs in, then hangs
// up; send connects again for the transfer, so a server that drops an idle connection
// between the two steps does no harm.
#pragma once
#include <string>
#include <vector>

#include "toolkit/ErrorReport.h"
#include "toolkit/ZipArchive.h"

namespace tabrik::toolkit {

struct MailServer {
  std::string host;
  long port = 587;
  std::string user;
  std::string password;
  // A certificate file to trust besides the system's (a private mail server's own).
  std::string caFile;
  long timeoutSeconds = 60;  // connecting, and waiting for any one answer
};

struct MailMessage {
  std::string fromName;  // may be empty
  std::string fromAddress;
  std::string to;
  std::string subject;             // UTF-8
  std::string body;                // UTF-8, lines separated by "\n"
  std::vector<std::string> files;  // attachments, module paths
};

class SmtpMail {
 public:
  void setup(MailServer server) { m_server = std::move(server); }
  bool verifyConnection();
  bool send(const MailMessage& message);
  void close() {}

  void setProgress(ProgressCallback progress) { m_progress = std::move(progress); }
  const ErrorReport& errors() const { return m_errors; }

 private:
  bool perform(void* curl, const char* operation);
  void configure(void* curl, char* errorBuffer);

  MailServer m_server;
  ProgressCallback m_progress;
  ErrorReport m_errors;
};

// A header value as RFC 2047 allows: unchanged when it is printable ASCII, else one or
// more UTF-8 base64 encoded words. Line breaks never survive (no header injection).
std::string encodeHeaderText(const std::string& text);
// The message's headers, "Name: value" each, as they are sent.
std::vector<std::string> messageHeaders(const MailMessage& message);

}  // namespace tabrik::toolkit
