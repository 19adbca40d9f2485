// Proxy authorization: the "Basic" and "Digest" (MD5) credentials of RFC 2617.
#pragma once

#include <cstdint>
#include <string>

class CHttpAuthState {
 public:
  virtual ~CHttpAuthState() = default;

  void Reset();
  void SetScheme(const char* scheme);
  std::string GetScheme() const { return m_scheme; }
  std::string GetQop() const { return m_qop; }
  void SetCnonce(const char* cnonce) { m_cnonce = cnonce ? cnonce : ""; }
  // The challenge parameters; nothing in the client reads a challenge yet.
  void SetChallenge(const char* realm, const char* nonce, const char* opaque, const char* qop,
                    const char* algorithm);

  static std::string MakeCnonce();
  static std::string& BuildBasicCredentials(std::string& out, const char* user, const char* password);
  std::string& BuildDigestAuthorization(std::string& out, const char* user, const char* password, int32_t method,
                                        const char* uri, const char* entityDigest) const;

  static void ComputeDigestHA1(char out[33], const char* algorithm, const char* user, const char* realm,
                               const char* password, const char* nonce, const char* cnonce);
  static void ComputeDigestResponse(char out[33], const char* ha1, const char* nonce, const char* nonceCount,
                                    const char* cnonce, const char* qop, const char* method, const char* uri,
                                    const char* entityDigest);
  static void DigestToHex(char out[33], const uint8_t digest[16]);
  static std::string& FormatHex32(std::string& out, uint32_t value, bool fullWidth, bool upperCase);

 private:
  std::string m_scheme;
  std::string m_realm;
  std::string m_nonce;
  uint32_t m_nonceCount = 1;
  std::string m_cnonce;
  std::string m_opaque;
  std::string m_qop;
  std::string m_algorithm;
};
