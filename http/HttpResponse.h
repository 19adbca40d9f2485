// One HTTP answer as it arrives: the status line and headers are recognised
// line by line; at the end the transfer and content codings come off the body.
#pragma once

#include <cstdint>
#include <string>

#include "http/HttpHeaders.h"
#include "http/PagedBuffer.h"

class CHttpResponse {
 public:
  enum State : uint32_t { kBegun = 1, kHeaderComplete = 2, kFinished = 4, kFailed = 8 };

  CHttpResponse() : m_raw(65536) { Reset(); }
  virtual ~CHttpResponse() = default;

  void Reset();
  bool Begin();
  // A header costs no more than one look at each byte, and stays within these.
  static constexpr uint32_t kMaxStatusLine = 8192;
  static constexpr uint32_t kMaxHeaderLine = 65536;
  static constexpr uint32_t kMaxHeaderBlock = 262144;

  // 1 the header just ended; 0 stored; -1 store failed; -2 bad status line;
  // -3 unsupported version; -4 bad status code; -5 bad header line; -6 not
  // begun; -7 already finished; -8 the status line, a header line or the
  // whole header too long; -9 the body over its limit.
  int AppendData(const void* bytes, uint32_t count);
  bool Finish(bool ok);
  // An answer without a body (HEAD, 1xx, 204, 304): what followed its header
  // belongs to no one.
  void EndAtHeader() { m_raw.Resize(m_bodyOffset, false); }

  // The most body bytes the caller takes, as received and as decoded; kept
  // across Reset. The default suits no caller in particular.
  static constexpr uint32_t kDefaultMaxBody = 64u << 20;
  void SetMaxBodyLength(uint32_t bytes) { m_maxBody = bytes; }
  uint32_t GetMaxBodyLength() const { return m_maxBody; }

  bool IsComplete() const { return (m_state & (kBegun | kHeaderComplete | kFinished | kFailed)) == (kBegun | kHeaderComplete | kFinished); }
  bool IsHeaderComplete() const { return (m_state & kHeaderComplete) != 0; }
  uint32_t GetState() const { return m_state; }
  uint32_t GetHeaderLength() const { return m_bodyOffset; }
  uint32_t GetBodyLength() const { return m_raw.GetSize() - m_bodyOffset; }
  uint32_t GetReceivedLength() const { return m_raw.GetSize(); }
  uint32_t GetBody(std::string& out, uint32_t offset, uint32_t count) const;
  uint32_t GetStatusCode() const { return m_statusCode; }
  std::string GetStatusLine() const { return m_statusLine; }
  std::string GetReason() const { return m_reason; }
  std::string GetVersionString() const;
  const CHttpHeaderList& GetHeaders() const { return m_headers; }
  HttpTime GetDate() const { return m_date; }

 private:
  int ParseStatusLine(uint32_t offset, uint32_t length);
  bool ParseHeaderAt(uint32_t offset, uint32_t length);
  int ParseHeaderLines();
  bool DecodeTransferCoding(const std::string& value);
  bool DecodeContentCoding(const std::string& value);
  bool DecodeChunked();
  bool GunzipBody();
  bool ReplaceBody(const std::string& body);

  CHttpHeaderList m_headers;
  uint32_t m_state = 0;
  std::string m_statusLine;
  uint32_t m_major = 0, m_minor = 0;
  uint32_t m_statusCode = 0;
  std::string m_reason;
  CPagedBuffer m_raw;
  uint32_t m_bodyOffset = 0;
  uint32_t m_scanned = 0;  // header bytes already searched for a line end
  HttpTime m_date = -1;
  uint32_t m_maxBody = kDefaultMaxBody;
};
