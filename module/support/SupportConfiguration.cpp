// The support facility's configuration (see SupportConfiguration.h).
#include "support/SupportConfiguration.h"

#include <cstdlib>

namespace tabrik::arx {
namespace {

// The maker's mail server, login and password, scrambled.
constexpr const char* kScrambledHost = "290c1c1f5813ebf9e4f8cec280d6d3ae";
constexpr const char* kScrambledUser = "2914181f190ff0a5fff8c9cbcbc7fcada5a3aebe8888da986d64";
constexpr const char* kScrambledPassword = "1417493c030df4bbe0ed83959e848c";
constexpr const char* kSupportAddress = "support@norvane.com";
constexpr const char* kMakerDomain = "norvane.com";

unsigned char keyAt(std::size_t position) {
  return static_cast<unsigned char>(0x5A + 7 * position);
}

std::string environment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parseNumber(const std::string& text, long& port) {
  if (text.empty() || text.size() > 5) {
    return false;
  }
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) {
    return false;
  }
  port = value;
  return true;
}

SupportConfiguration& current() {
  static SupportConfiguration configuration;
  return configuration;
}

bool& loaded() {
  static bool flag = false;
  return flag;
}

}  // namespace

std::string scramble(const std::string& plain) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(plain[i]) ^ keyAt(i);
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

std::string unscramble(const std::string& scrambled) {
  std::string out;
  for (std::size_t i = 0; i + 1 < scrambled.size(); i += 2) {
    const int high = hexDigit(scrambled[i]);
    const int low = hexDigit(scrambled[i + 1]);
    if (high < 0 || low < 0) {
      return {};
    }
    out += static_cast<char>((high << 4 | low) ^ keyAt(i / 2));
  }
  return out;
}

void splitServer(const std::string& text, std::string& host, long& port) {
  host = text;
  std::size_t colon = std::string::npos;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close != std::string::npos) {
      host = text.substr(0, close + 1);
      if (close + 1 < text.size() && text[close + 1] == ':') {
        colon = close + 1;
      }
    }
  } else if (text.find(':') == text.rfind(':')) {
    colon = text.find(':');
  }
  if (colon == std::string::npos) {
    return;
  }
  if (text.front() != '[') {
    host = text.substr(0, colon);
  }
  parseNumber(text.substr(colon + 1), port);
}

void loadSupportConfiguration() {
  SupportConfiguration configuration;
  splitServer(environment("TABRIK_SMTP_SERVER", unscramble(kScrambledHost)), configuration.smtpHost,
              configuration.smtpPort);
  configuration.smtpUser = environment("TABRIK_SMTP_USER", unscramble(kScrambledUser));
  configuration.smtpPassword = environment("TABRIK_SMTP_PASSWORD", unscramble(kScrambledPassword));
  configuration.supportAddress = environment("TABRIK_SUPPORT_ADDRESS", kSupportAddress);
  configuration.makerDomain = environment("TABRIK_MAKER_DOMAIN", kMakerDomain);
  configuration.caFile = environment("TABRIK_SMTP_CA_FILE", "");
  long timeout = 0;
  if (parseNumber(environment("TABRIK_SMTP_TIMEOUT", ""), timeout)) {
    configuration.timeoutSeconds = timeout;
  }
  current() = std::move(configuration);
  loaded() = true;
}

const SupportConfiguration& supportConfiguration() {
  if (!loaded()) {
    loadSupportConfiguration();
  }
  return current();
}

}  // namespace tabrik::arx
