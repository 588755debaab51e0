// The toolkit's mail against an SMTP server on the loopback address (smtp_server.py):
// STARTTLS and login when the server offers them, the message as another reader
// (Python's email package) sees it, and the failures that end an attempt.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "toolkit/SmtpMail.h"

#if defined(TABRIK_SUPPORT_TEST_DIR) && defined(TABRIK_PYTHON)

namespace tabrik::toolkit {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void spit(const fs::path& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

// One server process for one test; its standard input is a pipe whose closing ends it.
class SmtpServer {
 public:
  SmtpServer(const fs::path& folder, const std::string& options) : m_folder(folder) {
    fs::create_directories(folder);
    const fs::path portFile = folder / "port.txt";
    fs::remove(portFile);
    const std::string command = std::string(TABRIK_PYTHON) + " " + TABRIK_SUPPORT_TEST_DIR +
                                "/smtp_server.py --dir " + folder.string() + " " + options + " > " +
                                portFile.string();
    m_process = popen(command.c_str(), "w");
    // Waits for the server to say where it listens (a start-up wait, not a timing).
    for (int i = 0; i < 600 && m_port == 0; ++i) {
      const std::string text = slurp(portFile);
      if (text.rfind("PORT ", 0) == 0 && text.back() == '\n') {
        m_port = std::stol(text.substr(5));
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
  }
  ~SmtpServer() {
    if (m_process != nullptr) {
      pclose(m_process);
    }
  }
  long port() const { return m_port; }

 private:
  fs::path m_folder;
  FILE* m_process = nullptr;
  long m_port = 0;
};

fs::path workFolder(const std::string& name) {
  const fs::path folder =
      fs::temp_directory_path() / ("tabrik-smtp-" + std::to_string(getpid())) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// A self-signed certificate for 127.0.0.1, made now, so no key lives in the tree.
bool makeCertificate(const fs::path& folder) {
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 -subj "
      "/CN=127.0.0.1 "
      "-addext subjectAltName=IP:127.0.0.1 -keyout " +
      (folder / "key.pem").string() + " -out " + (folder / "cert.pem").string() +
      " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(SmtpMail, DeliversWhatTheServerOffers) {
  struct Case {
    const char* label;
    bool tls;
    bool login;
  } cases[] = {
      {"plain", false, false},
      {"starttls-and-login", true, true},
      {"login-without-tls", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path folder = workFolder(c.label);
    std::string options;
    if (c.tls) {
      ASSERT_TRUE(makeCertificate(folder));
      options +=
          " --cert " + (folder / "cert.pem").string() + " --key " + (folder / "key.pem").string();
    }
    if (c.login) {
      options += " --user mailer --password 's3cret!'";
    }
    SmtpServer server(folder / "server", options);
    ASSERT_NE(server.port(), 0);

    std::string binary;
    for (int i = 0; i < 100000; ++i) {
      binary += static_cast<char>(i * 7 % 256);
    }
    spit(folder / "report.zip", binary);
    spit(folder / "notes.txt", "line one\nline two\n");

    SmtpMail mail;
    MailServer settings;
    settings.host = "127.0.0.1";
    settings.port = server.port();
    settings.user = c.login ? "mailer" : "";
    settings.password = "s3cret!";
    settings.caFile = c.tls ? (folder / "cert.pem").string() : "";
    mail.setup(settings);
    ASSERT_TRUE(mail.verifyConnection()) << mail.errors().toXml("mail");

    MailMessage message;
    message.fromName = "Zo\xC3\xAB O'Brien";
    message.fromAddress = "zoe@example.org";
    message.to = "support@example.com";
    message.subject = "NV Bug: The leader loses its symbol";
    message.body = "555-0100\n\nThe leader loses its symbol.\n.\nA line with a dot.\n\nextra\n";
    message.files = {(folder / "report.zip").string(), (folder / "notes.txt").string()};
    ASSERT_TRUE(mail.send(message)) << mail.errors().toXml("mail");

    const fs::path unpacked = folder / "unpacked";
    const std::string read = std::string(TABRIK_PYTHON) + " " + TABRIK_SUPPORT_TEST_DIR +
                             "/read_mail.py " + (folder / "server" / "message-1.eml").string() +
                             " " + unpacked.string();
    ASSERT_EQ(std::system(read.c_str()), 0);
    const std::string headers = slurp(unpacked / "headers.json");
    EXPECT_NE(headers.find("\"Subject\": \"NV Bug: The leader loses its symbol\""),
              std::string::npos)
        << headers;
    EXPECT_NE(headers.find("Zo\xC3\xAB O'Brien <zoe@example.org>"), std::string::npos) << headers;
    EXPECT_NE(headers.find("\"To\": \"support@example.com\""), std::string::npos) << headers;
    EXPECT_EQ(slurp(unpacked / "body.txt"), message.body);
    EXPECT_EQ(slurp(unpacked / "attachment-report.zip"), binary);
    EXPECT_EQ(slurp(unpacked / "attachment-notes.txt"), "line one\nline two\n");

    const std::string session = slurp(folder / "server" / "session-1.json");
    EXPECT_NE(session.find(c.tls ? "\"tls\": true" : "\"tls\": false"), std::string::npos)
        << session;
    EXPECT_NE(session.find(c.login ? "\"user\": \"mailer\"" : "\"user\": null"), std::string::npos)
        << session;
    EXPECT_NE(session.find("\"to\": [\"<support@example.com>\"]"), std::string::npos) << session;
  }
}

TEST(SmtpMail, FailuresEndTheAttempt) {
  const fs::path folder = workFolder("failures");
  ASSERT_TRUE(makeCertificate(folder));
  const std::string tls =
      " --cert " + (folder / "cert.pem").string() + " --key " + (folder / "key.pem").string();
  struct Case {
    const char* label;
    std::string options;
    std::string password;
    bool trustCertificate;
  } cases[] = {
      {"wrong-password", tls + " --user mailer --password right", "wrong", true},
      {"untrusted-certificate", tls, "", false},
      {"refusing-server", " --refuse", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SmtpServer server(folder / c.label, c.options);
    ASSERT_NE(server.port(), 0);
    SmtpMail mail;
    MailServer settings;
    settings.host = "127.0.0.1";
    settings.port = server.port();
    settings.user = c.password.empty() ? "" : "mailer";
    settings.password = c.password;
    settings.caFile = c.trustCertificate ? (folder / "cert.pem").string() : "";
    mail.setup(settings);
    EXPECT_FALSE(mail.verifyConnection());
    EXPECT_FALSE(mail.errors().empty());
  }
  // Nothing listening: port 9 (discard) is closed on the loopback address.
  SmtpMail mail;
  mail.setup({"127.0.0.1", 9, "", "", "", 5});
  EXPECT_FALSE(mail.verifyConnection());
  // A missing attachment fails before anything is sent.
  MailMessage message;
  message.files = {(folder / "missing.zip").string()};
  EXPECT_FALSE(mail.send(message));
  EXPECT_EQ(mail.errors().entries().back().operation, "attach");
}

}  // namespace
}  // namespace tabrik::toolkit

#endif
