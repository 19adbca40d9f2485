#include "http/HttpResponse.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "http/Gzip.h"
#include "http/HttpText.h"

#include <new>

void CHttpResponse::Reset() {
  m_state = 0;
  m_statusLine.clear();
  m_reason.clear();
  m_major = m_minor = m_statusCode = 0;
  m_bodyOffset = 0;
  m_scanned = 0;
  m_date = -1;
  m_raw.Clear();
  m_headers.Clear();
}

bool CHttpResponse::Begin() {
  if (m_state != 0 && (m_state & (kBegun | kFinished)) != (kBegun | kFinished)) return false;
  Reset();
  m_state = kBegun;
  return true;
}

std::string CHttpResponse::GetVersionString() const {
  std::string out;
  FormatAString(out, "%lu.%lu", static_cast<unsigned long>(m_major), static_cast<unsigned long>(m_minor));
  return out;
}

int CHttpResponse::AppendData(const void* bytes, uint32_t count) {
  if (!(m_state & kBegun)) return -6;
  if (m_state & kFinished) return -7;
  if (m_raw.GetSize() == 0) m_date = HttpNow();
  m_raw.SeekToEnd();
  if (count && m_raw.Write(bytes, count) != count) return -1;
  int r = 0;
  if (!(m_state & kHeaderComplete)) {
    if (m_bodyOffset == 0 && m_raw.GetSize() >= 5) {
      char start[5];
      m_raw.ReadAt(start, 0, 5);
      if (memcmp(start, "HTTP/", 5) != 0) return -2;
    }
    r = ParseHeaderLines();
    if (r < 0) return r;
  }
  if ((m_state & kHeaderComplete) && GetBodyLength() > m_maxBody) return -9;
  return r;
}

int CHttpResponse::ParseHeaderLines() {
  for (;;) {
    // The open line is searched from where the last search stopped (less the
    // byte that may be its CR), so that a line arriving a byte at a time
    // costs no more than one arriving whole.
    const uint32_t lineLimit = m_bodyOffset == 0 ? kMaxStatusLine : kMaxHeaderLine;
    const int32_t lineEnd = m_raw.FindLineEnd(std::max(m_bodyOffset, m_scanned ? m_scanned - 1 : 0), true);
    if (lineEnd < 0) {
      m_scanned = m_raw.GetSize();
      return m_scanned - m_bodyOffset > lineLimit || m_scanned > kMaxHeaderBlock ? -8 : 0;
    }
    const uint32_t end = static_cast<uint32_t>(lineEnd);
    if (end - m_bodyOffset > lineLimit || end + 2 > kMaxHeaderBlock) return -8;
    if (m_bodyOffset == 0) {
      m_bodyOffset = end + 2;
      int r = ParseStatusLine(0, end);
      if (r < 0) return r;
    } else if (end == m_bodyOffset) {
      m_state |= kHeaderComplete;
      m_headers.GetDate(m_date);
      m_bodyOffset = end + 2;
      return 1;
    } else {
      if (!ParseHeaderAt(m_bodyOffset, end - m_bodyOffset)) return -5;
      m_bodyOffset = end + 2;
    }
  }
}

int CHttpResponse::ParseStatusLine(uint32_t offset, uint32_t length) {
  if (length == 0) return -2;
  m_raw.CopyToString(m_statusLine, offset, length);
  const char* s = m_statusLine.c_str();
  uint32_t n = static_cast<uint32_t>(m_statusLine.size());
  if (n < 5 || memcmp(s, "HTTP/", 5) != 0) return -2;
  uint32_t at = 5;
  uint32_t digits = CountDigits(s + at, n - at, n);
  if (!digits) return -2;
  m_major = ParseDecimal(s + at, digits);
  at += digits;
  if (at >= n || s[at++] != '.') return -2;
  digits = CountDigits(s + at, n - at, n);
  if (!digits) return -2;
  m_minor = ParseDecimal(s + at, digits);
  at += digits;
  if (at >= n || s[at++] != ' ') return -2;
  if (CountDigits(s + at, n - at, 3) != 3) return -2;
  m_statusCode = ParseDecimal(s + at, 3);
  at += 3;
  if (at < n) {
    if (s[at] != ' ') return -2;
    m_reason.assign(s + at + 1, n - at - 1);
  }
  if (m_major != 1 || m_minor > 1) return -3;
  if (m_statusCode < 100 || m_statusCode > 599) return -4;
  return 0;
}

bool CHttpResponse::ParseHeaderAt(uint32_t offset, uint32_t length) {
  if (length == 0) return false;
  std::string line;
  m_raw.CopyToString(line, offset, length);
  return m_headers.ParseLine(line.data(), static_cast<uint32_t>(line.size()));
}

bool CHttpResponse::Finish(bool ok) {
  if ((m_state & kFinished) || !(m_state & kBegun)) return false;
  m_state |= kFinished;
  if (!ok) {
    m_state |= kFailed;
    return false;
  }
  if (GetBodyLength() == 0) return true;
  bool decoded;
  try {
    const CHttpHeaderList::Entry* transfer = m_headers.Find("Transfer-Encoding");
    const CHttpHeaderList::Entry* content = m_headers.Find("Content-Encoding");
    decoded = (!transfer || DecodeTransferCoding(transfer->second)) &&
              (!content || DecodeContentCoding(content->second));
  } catch (const std::bad_alloc&) {
    decoded = false;
  }
  if (!decoded) m_state |= kFailed;
  return decoded;
}

bool CHttpResponse::DecodeTransferCoding(const std::string& value) {
  if (value.empty()) return true;
  if (value == "chunked") return DecodeChunked();
  if (value == "gzip" || value == "x-gzip") return GunzipBody();
  return false;
}

bool CHttpResponse::DecodeContentCoding(const std::string& value) {
  if (value.empty() || value == "identity") return true;
  if (value == "gzip" || value == "x-gzip") return GunzipBody();
  return false;
}

bool CHttpResponse::ReplaceBody(const std::string& body) {
  if (!m_raw.Seek(static_cast<int32_t>(m_bodyOffset), 0)) return false;
  if (!body.empty() && m_raw.Write(body.data(), static_cast<uint32_t>(body.size())) != body.size()) return false;
  return m_raw.Resize(m_bodyOffset + static_cast<uint32_t>(body.size()), true);
}

// Every chunk must be whole: a size line of hexadecimal digits, its data and
// the CR LF after it; the body must end with the zero-size chunk. A first pass
// checks the whole body, a second moves the data down in place: the decoded
// bytes never outgrow the encoded ones, so decoding allocates nothing.
bool CHttpResponse::DecodeChunked() {
  const uint32_t size = m_raw.GetSize();
  uint32_t trailerStart = 0, decodedEnd = 0;
  auto walk = [&](bool copy) {
    std::string line;
    char block[4096];
    uint32_t pos = m_bodyOffset, out = m_bodyOffset;
    for (;;) {
      int32_t lineEnd = m_raw.FindLineEnd(pos, true);
      if (lineEnd < 0) return false;
      const uint32_t end = static_cast<uint32_t>(lineEnd);
      m_raw.CopyToString(line, pos, std::min<uint32_t>(end - pos, 64));  // a size needs 16 digits at most
      const char* text = line.c_str();
      if (!isxdigit(static_cast<unsigned char>(text[0]))) return false;
      char* stop = nullptr;
      const unsigned long long chunk = strtoull(text, &stop, 16);
      if (*stop && *stop != ';' && *stop != ' ' && *stop != '\t') return false;
      const uint32_t dataStart = end + 2;  // the CR LF found lies within the buffer
      if (chunk == 0) {
        trailerStart = dataStart;
        decodedEnd = out;
        return true;
      }
      // Compared against what is left, so that no size can wrap the sum.
      if (chunk > size - dataStart || size - dataStart - chunk < 2) return false;
      const uint32_t dataEnd = dataStart + static_cast<uint32_t>(chunk);
      char crlf[2];
      m_raw.ReadAt(crlf, dataEnd, 2);
      if (crlf[0] != '\r' || crlf[1] != '\n') return false;
      if (copy) {
        for (uint32_t from = dataStart; from < dataEnd;) {
          const uint32_t n = m_raw.ReadAt(block, from, std::min<uint32_t>(sizeof(block), dataEnd - from));
          m_raw.Seek(static_cast<int32_t>(out + (from - dataStart)), 0);
          m_raw.Write(block, n);
          from += n;
        }
      }
      out += dataEnd - dataStart;
      pos = dataEnd + 2;
    }
  };
  if (!walk(false) || !walk(true)) return false;
  // Trailer fields, up to the empty line that ends the body.
  bool keepTrailers = m_headers.Find("Trailer") != nullptr;
  uint32_t pos = trailerStart;
  for (int32_t lineEnd; (lineEnd = m_raw.FindLineEnd(pos, true)) >= 0 && static_cast<uint32_t>(lineEnd) != pos;
       pos = static_cast<uint32_t>(lineEnd) + 2) {
    if (keepTrailers) ParseHeaderAt(pos, static_cast<uint32_t>(lineEnd) - pos);
  }
  return m_raw.Resize(decodedEnd, false);
}

bool CHttpResponse::GunzipBody() {
  uint32_t length = GetBodyLength();
  if (length == 0) return false;
  std::string encoded, decoded;
  m_raw.CopyToString(encoded, m_bodyOffset, length);
  if (GunzipToString(decoded, reinterpret_cast<const uint8_t*>(encoded.data()), length, m_maxBody) != 0)
    return false;
  return ReplaceBody(decoded);
}

uint32_t CHttpResponse::GetBody(std::string& out, uint32_t offset, uint32_t count) const {
  out.clear();
  if (!IsComplete()) return 0;
  uint64_t start = static_cast<uint64_t>(m_bodyOffset) + offset;
  if (start > 0xFFFFFFFFu) return 0;
  try {
    return m_raw.CopyToString(out, static_cast<uint32_t>(start), count);
  } catch (const std::bad_alloc&) {
    out.clear();
    return 0;
  }
}
