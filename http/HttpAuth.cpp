#include "http/HttpAuth.h"

#include <cstring>

#include "core/Base64.h"
#include "core/Md5.h"
#include "http/HttpDate.h"
#include "http/HttpText.h"

namespace {

const char* Text(const char* s) { return s ? s : ""; }

void Md5Hex(char out[33], const std::string& data) {
  uint8_t digest[16];
  MD5Digest(digest, reinterpret_cast<const uint8_t*>(data.data()), static_cast<unsigned>(data.size()));
  CHttpAuthState::DigestToHex(out, digest);
}

}  // namespace

void CHttpAuthState::Reset() {
  m_scheme.clear(), m_realm.clear(), m_nonce.clear(), m_cnonce.clear();
  m_opaque.clear(), m_qop.clear(), m_algorithm.clear();
  m_nonceCount = 1;
}

void CHttpAuthState::SetScheme(const char* scheme) {
  std::string s = Text(scheme);
  m_scheme = (s == "Basic" || s == "Digest") ? s : std::string();
}

void CHttpAuthState::SetChallenge(const char* realm, const char* nonce, const char* opaque, const char* qop,
                                  const char* algorithm) {
  m_realm = Text(realm), m_nonce = Text(nonce), m_opaque = Text(opaque), m_qop = Text(qop);
  m_algorithm = Text(algorithm);
}

void CHttpAuthState::DigestToHex(char out[33], const uint8_t digest[16]) {
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kHex[digest[i] >> 4];
    out[2 * i + 1] = kHex[digest[i] & 0xF];
  }
  out[32] = 0;
}

std::string& CHttpAuthState::FormatHex32(std::string& out, uint32_t value, bool fullWidth, bool upperCase) {
  FormatAString(out, fullWidth ? (upperCase ? "%.8X" : "%.8x") : (upperCase ? "%X" : "%x"), value);
  return out;
}

std::string CHttpAuthState::MakeCnonce() {
  std::string seed;
  FormatHex32(seed, static_cast<uint32_t>(HttpNow()), true, false);
  seed += ":quillmark";
  char hex[33];
  Md5Hex(hex, seed);
  return hex;
}

std::string& CHttpAuthState::BuildBasicCredentials(std::string& out, const char* user, const char* password) {
  std::string joined = std::string(Text(user)) + ":" + Text(password);
  int n = static_cast<int>(joined.size());
  out.assign(6 + Base64EncodedLength(n), '\0');
  memcpy(&out[0], "Basic ", 6);
  int written = Base64Encode(reinterpret_cast<uint8_t*>(&out[6]), reinterpret_cast<const uint8_t*>(joined.data()), n);
  out.resize(6 + written);
  return out;
}

void CHttpAuthState::ComputeDigestHA1(char out[33], const char* algorithm, const char* user, const char* realm,
                                      const char* password, const char* nonce, const char* cnonce) {
  std::string a1 = std::string(Text(user)) + ":" + Text(realm) + ":" + Text(password);
  uint8_t digest[16];
  MD5Digest(digest, reinterpret_cast<const uint8_t*>(a1.data()), static_cast<unsigned>(a1.size()));
  if (_stricmp(Text(algorithm), "MD5-sess") == 0) {
    std::string sess(reinterpret_cast<const char*>(digest), 16);
    sess += std::string(":") + Text(nonce) + ":" + Text(cnonce);
    MD5Digest(digest, reinterpret_cast<const uint8_t*>(sess.data()), static_cast<unsigned>(sess.size()));
  }
  DigestToHex(out, digest);
}

void CHttpAuthState::ComputeDigestResponse(char out[33], const char* ha1, const char* nonce, const char* nonceCount,
                                           const char* cnonce, const char* qop, const char* method,
                                           const char* uri, const char* entityDigest) {
  std::string a2 = std::string(Text(method)) + ":" + Text(uri);
  if (_stricmp(Text(qop), "auth-int") == 0) a2 += std::string(":") + std::string(Text(entityDigest), 0, 32);
  char ha2[33];
  Md5Hex(ha2, a2);
  std::string all = std::string(Text(ha1)) + ":" + Text(nonce) + ":";
  if (*Text(qop)) all += std::string(Text(nonceCount)) + ":" + Text(cnonce) + ":" + qop + ":";
  all += ha2;
  Md5Hex(out, all);
}

std::string& CHttpAuthState::BuildDigestAuthorization(std::string& out, const char* user, const char* password,
                                                      int32_t method, const char* uri,
                                                      const char* entityDigest) const {
  std::string count;
  FormatHex32(count, m_nonceCount, true, false);
  char ha1[33], response[33];
  ComputeDigestHA1(ha1, m_algorithm.c_str(), user, m_realm.c_str(), password, m_nonce.c_str(), m_cnonce.c_str());
  const char* entity = (m_qop == "auth-int" && entityDigest) ? entityDigest : "";
  ComputeDigestResponse(response, ha1, m_nonce.c_str(), count.c_str(), m_cnonce.c_str(), m_qop.c_str(),
                        GetHttpMethodName(method), uri, entity);
  out = std::string("Digest username=\"") + Text(user) + "\", realm=\"" + m_realm + "\", nonce=\"" + m_nonce +
        "\", uri=\"" + Text(uri) + "\", ";
  if (!m_algorithm.empty()) out += "algorithm=" + m_algorithm + ", ";
  if (!m_qop.empty()) out += "qop=" + m_qop + ", nc=" + count + ", cnonce=\"" + m_cnonce + "\", ";
  out += std::string("response=\"") + response + "\", opaque=\"" + m_opaque + "\"";
  return out;
}
