// Form fields and the request bodies built from them (urlencoded or multipart).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CHttpFormData {
 public:
  virtual ~CHttpFormData() = default;

  bool AddField(const char* name, const char* value);
  bool AddFile(const char* name, const void* data, uint32_t length, const char* fileName, const char* contentType);
  bool IsEmpty() const { return m_fields.empty(); }
  void Clear() { m_fields.clear(); }
  std::string& MakeBoundary(std::string& out) const;
  uint32_t BuildBody(std::string& out, const char* boundary) const;

 private:
  struct Field {
    std::string name;
    std::string value;     // the data of a file field, any bytes
    std::string fileName;  // non-empty for a file field
    std::string contentType;
  };
  std::vector<Field> m_fields;
};
