// The toolkit's SMTP mail (see SmtpMail.h), on libcurl's SMTP and MIME support.
#include "toolkit/SmtpMail.h"

#include <curl/curl.h>

#include <ctime>
#include <memory>

#include "toolkit/CurlGlobal.h"
#include "toolkit/NativeFiles.h"

namespace tabrik::toolkit {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const std::string& bytes) {
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], kBase64[(v >> 6) & 63], kBase64[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += {kBase64[v >> 18], kBase64[(v >> 12) & 63], kBase64[(v >> 6) & 63], '='};
  }
  return out;
}

std::string withoutLineBreaks(const std::string& text) {
  std::string out;
  for (const char c : text) {
    out += (c == '\r' || c == '\n') ? ' ' : c;
  }
  return out;
}

bool isPlainAscii(const std::string& text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7e) {
      return false;
    }
  }
  // "=?" would read as the start of an encoded word.
  return text.find("=?") == std::string::npos;
}

std::string addressOnly(const std::string& address) {
  std::string out;
  for (const char c : address) {
    if (c != '\r' && c != '\n' && c != '<' && c != '>') {
      out += c;
    }
  }
  return out;
}

std::string dateHeader() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "Date: %s, %02d %s %04d %02d:%02d:%02d +0000",
                kDays[utc.tm_wday], utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900,
                utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

std::string crlfLines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += '\r';
    }
    out += text[i];
  }
  return out;
}

int reportProgress(void* state, curl_off_t, curl_off_t, curl_off_t total, curl_off_t now) {
  auto* progress = static_cast<ProgressCallback*>(state);
  if (total > 0 && *progress) {
    (*progress)(static_cast<double>(now) / static_cast<double>(total));
  }
  return 0;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

}  // namespace

std::string encodeHeaderText(const std::string& text) {
  const std::string flat = withoutLineBreaks(text);
  if (isPlainAscii(flat)) {
    return flat;
  }
  // Encoded words of at most 45 bytes (60 base64 characters), each cut at a character
  // boundary so that no word holds half a UTF-8 sequence.
  std::string out;
  std::size_t start = 0;
  while (start < flat.size()) {
    std::size_t end = std::min(flat.size(), start + 45);
    while (end < flat.size() && end > start + 1 &&
           (static_cast<unsigned char>(flat[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (!out.empty()) {
      out += ' ';
    }
    out += "=?UTF-8?B?" + base64(flat.substr(start, end - start)) + "?=";
    start = end;
  }
  return out;
}

std::vector<std::string> messageHeaders(const MailMessage& message) {
  std::string from = "From: ";
  const std::string name = withoutLineBreaks(message.fromName);
  if (name.empty()) {
    from += "<" + addressOnly(message.fromAddress) + ">";
  } else if (isPlainAscii(name)) {
    std::string quoted;
    for (const char c : name) {
      if (c == '"' || c == '\\') {
        quoted += '\\';
      }
      quoted += c;
    }
    from += "\"" + quoted + "\" <" + addressOnly(message.fromAddress) + ">";
  } else {
    from += encodeHeaderText(name) + " <" + addressOnly(message.fromAddress) + ">";
  }
  return {dateHeader(), from, "To: <" + addressOnly(message.to) + ">",
          "Subject: " + encodeHeaderText(message.subject)};
}

void SmtpMail::configure(void* handle, char* errorBuffer) {
  CURL* curl = static_cast<CURL*>(handle);
  const std::string url = "smtp://" + m_server.host + ":" + std::to_string(m_server.port);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (!m_server.user.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, m_server.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, m_server.password.c_str());
  }
  if (!m_server.caFile.empty()) {
    curl_easy_setopt(curl, CURLOPT_CAINFO, m_server.caFile.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_server.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, m_server.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_server.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
}

bool SmtpMail::perform(void* handle, const char* operation) {
  const CURLcode result = curl_easy_perform(static_cast<CURL*>(handle));
  if (result == CURLE_OK) {
    return true;
  }
  m_errors.add(operation, curl_easy_strerror(result));
  return false;
}

bool SmtpMail::verifyConnection() {
  if (m_server.host.empty()) {
    m_errors.add("connect", "no mail server is configured");
    return false;
  }
  ensureCurlGlobal();
  CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    m_errors.add("connect", "no transfer handle");
    return false;
  }
  char message[CURL_ERROR_SIZE] = "";
  configure(curl.get(), message);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
  if (perform(curl.get(), "connect")) {
    return true;
  }
  if (*message != '\0') {
    m_errors.add("connect", message);
  }
  return false;
}

bool SmtpMail::send(const MailMessage& message) {
  for (const std::string& file : message.files) {
    if (!isRegularFile(nativePath(file))) {
      m_errors.add("attach", "not a file: " + file);
      return false;
    }
  }
  ensureCurlGlobal();
  CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    m_errors.add("send", "no transfer handle");
    return false;
  }
  char errorText[CURL_ERROR_SIZE] = "";
  configure(curl.get(), errorText);

  std::unique_ptr<curl_mime, decltype(&curl_mime_free)> mime(curl_mime_init(curl.get()),
                                                             curl_mime_free);
  curl_mimepart* text = curl_mime_addpart(mime.get());
  const std::string body = crlfLines(message.body);
  curl_mime_data(text, body.data(), body.size());
  curl_mime_type(text, "text/plain; charset=UTF-8");
  curl_mime_encoder(text, "quoted-printable");
  for (const std::string& file : message.files) {
    curl_mimepart* part = curl_mime_addpart(mime.get());
    const std::string native = nativePath(file);
    curl_mime_filedata(part, native.c_str());
    curl_mime_filename(part, baseName(native).c_str());
    const bool isZip = native.size() > 4 && native.compare(native.size() - 4, 4, ".zip") == 0;
    curl_mime_type(part, isZip ? "application/zip" : "application/octet-stream");
    curl_mime_encoder(part, "base64");
  }

  curl_slist* headers = nullptr;
  for (const std::string& header : messageHeaders(message)) {
    headers = curl_slist_append(headers, header.c_str());
  }
  curl_slist* recipients =
      curl_slist_append(nullptr, ("<" + addressOnly(message.to) + ">").c_str());
  const std::string from = "<" + addressOnly(message.fromAddress) + ">";
  curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, recipients);
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl.get(), CURLOPT_MIMEPOST, mime.get());
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, reportProgress);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &m_progress);
  curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, m_progress ? 0L : 1L);

  const bool sent = perform(curl.get(), "send");
  if (!sent && *errorText != '\0') {
    m_errors.add("send", errorText);
  }
  curl_slist_free_all(headers);
  curl_slist_free_all(recipients);
  return sent;
}

}  // namespace tabrik::toolkit
