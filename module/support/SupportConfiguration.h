// The support facility's outside addresses, in one place: the outgoing mail server and
// its login, the support mailbox, the maker's mail domain. Read from the environment
// when the module loads, each falling back to the maker's value:
//
//   TABRIK_SMTP_SERVER      host, or host:port (port 587 when none is given)
//   TABRIK_SMTP_USER        login name of the support mailbox
//   TABRIK_SMTP_PASSWORD    its password
//   TABRIK_SUPPORT_ADDRESS  where reports go
//   TABRIK_MAKER_DOMAIN     the maker's own mail domain (refused as a sender's)
//   TABRIK_SMTP_CA_FILE     a certificate to trust besides the system's (no default)
//   TABRIK_SMTP_TIMEOUT     seconds to wait for the server (default 60)
//
// The maker's server, login and password are kept scrambled in the module and
// unscrambled only here, so that they cannot be read off the binary as plain text.
#pragma once
#include <string>

namespace tabrik::arx {

struct SupportConfiguration {
  std::string smtpHost;  // UTF-8, as every field
  long smtpPort = 587;
  std::string smtpUser;
  std::string smtpPassword;
  std::string supportAddress;
  std::string makerDomain;
  std::string caFile;
  long timeoutSeconds = 60;
};

// Reads the environment again (the module's load message calls it).
void loadSupportConfiguration();
// The configuration read last; read now when it never was.
const SupportConfiguration& supportConfiguration();

// The scrambled form of the maker's values: every byte XOR a key that changes with its
// position, written as two lower-case hex digits. scramble(unscramble(x)) == x.
std::string scramble(const std::string& plain);
std::string unscramble(const std::string& scrambled);

// Splits "host" or "host:port" (a bracketed IPv6 host keeps its colons); the port
// stays defaultPort when none or an invalid one is given.
void splitServer(const std::string& text, std::string& host, long& port);

}  // namespace tabrik::arx
