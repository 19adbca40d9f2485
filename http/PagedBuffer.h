// A growable run of bytes held in fixed-size pages: appending never moves the
// bytes already stored, so a large answer never needs one contiguous block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPagedBuffer {
 public:
  explicit CPagedBuffer(uint32_t pageSize);
  virtual ~CPagedBuffer() = default;
  CPagedBuffer(const CPagedBuffer&) = delete;
  CPagedBuffer& operator=(const CPagedBuffer&) = delete;

  void Clear();
  bool Resize(uint32_t newSize, bool zeroFill);
  void SeekToEnd() { m_position = m_size; }
  bool Seek(int32_t offset, int origin);
  void Locate(uint32_t offset, uint32_t* page, uint32_t* inPage) const;
  uint32_t Read(void* dest, uint32_t count);
  uint32_t Write(const void* source, uint32_t count);
  int32_t FindLineEnd(uint32_t start, bool crlf) const;
  uint32_t CopyToString(std::string& out, uint32_t offset, uint32_t count) const;
  uint32_t ReadAt(void* dest, uint32_t offset, uint32_t count) const;

  uint32_t GetSize() const { return m_size; }
  uint32_t GetPosition() const { return m_position; }
  size_t GetPageCount() const { return m_pages.size(); }

 private:
  uint8_t ByteAt(uint32_t offset) const { return m_pages[offset / m_pageSize][offset % m_pageSize]; }

  const uint32_t m_pageSize;
  std::vector<std::unique_ptr<uint8_t[]>> m_pages;
  uint32_t m_size = 0;
  uint32_t m_position = 0;
};
