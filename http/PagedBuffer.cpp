#include "http/PagedBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

CPagedBuffer::CPagedBuffer(uint32_t pageSize) : m_pageSize(pageSize ? pageSize : 65536) {}

void CPagedBuffer::Clear() {
  m_pages.clear();
  m_size = m_position = 0;
}

bool CPagedBuffer::Resize(uint32_t newSize, bool zeroFill) {
  if (newSize == 0) {
    Clear();
    return true;
  }
  if (newSize == m_size) return true;
  size_t needed = (static_cast<uint64_t>(newSize) + m_pageSize - 1) / m_pageSize;
  if (needed < m_pages.size()) m_pages.resize(needed);
  if (needed > m_pages.size()) {
    try {
      m_pages.reserve(needed);
    } catch (const std::bad_alloc&) {
      return false;
    }
    while (m_pages.size() < needed) {
      uint8_t* page = new (std::nothrow) uint8_t[m_pageSize];
      if (!page) return false;
      m_pages.emplace_back(page);
    }
  }
  if (zeroFill && newSize > m_size) {
    for (uint32_t at = m_size; at < newSize;) {
      uint32_t inPage = at % m_pageSize;
      uint32_t n = std::min(m_pageSize - inPage, newSize - at);
      memset(m_pages[at / m_pageSize].get() + inPage, 0, n);
      at += n;
    }
  }
  m_size = newSize;
  if (m_position > m_size) m_position = m_size;
  return true;
}

bool CPagedBuffer::Seek(int32_t offset, int origin) {
  int64_t base;
  switch (origin) {
    case 0: base = 0; break;
    case 1: base = m_position; break;
    case 2: base = m_size; break;
    default: return false;
  }
  int64_t target = base + offset;
  if (target < 0 || target > m_size) return false;
  m_position = static_cast<uint32_t>(target);
  return true;
}

void CPagedBuffer::Locate(uint32_t offset, uint32_t* page, uint32_t* inPage) const {
  if (page) *page = offset / m_pageSize;
  if (inPage) *inPage = offset % m_pageSize;
}

uint32_t CPagedBuffer::ReadAt(void* dest, uint32_t offset, uint32_t count) const {
  if (!dest || offset >= m_size || count == 0) return 0;
  count = std::min(count, m_size - offset);
  uint8_t* out = static_cast<uint8_t*>(dest);
  for (uint32_t done = 0; done < count;) {
    uint32_t at = offset + done;
    uint32_t inPage = at % m_pageSize;
    uint32_t n = std::min(m_pageSize - inPage, count - done);
    memcpy(out + done, m_pages[at / m_pageSize].get() + inPage, n);
    done += n;
  }
  return count;
}

uint32_t CPagedBuffer::Read(void* dest, uint32_t count) {
  uint32_t n = ReadAt(dest, m_position, count);
  m_position += n;
  return n;
}

uint32_t CPagedBuffer::Write(const void* source, uint32_t count) {
  if (!source || count == 0) return 0;
  uint64_t end = static_cast<uint64_t>(m_position) + count;
  if (end > 0xFFFFFFFFu) return 0;
  if (end > m_size && !Resize(static_cast<uint32_t>(end), false)) return 0;
  const uint8_t* in = static_cast<const uint8_t*>(source);
  for (uint32_t done = 0; done < count;) {
    uint32_t at = m_position + done;
    uint32_t inPage = at % m_pageSize;
    uint32_t n = std::min(m_pageSize - inPage, count - done);
    memcpy(m_pages[at / m_pageSize].get() + inPage, in + done, n);
    done += n;
  }
  m_position += count;
  return count;
}

int32_t CPagedBuffer::FindLineEnd(uint32_t start, bool crlf) const {
  for (uint32_t at = start; at < m_size;) {
    uint32_t inPage = at % m_pageSize;
    uint32_t n = std::min(m_pageSize - inPage, m_size - at);
    const uint8_t* bytes = m_pages[at / m_pageSize].get() + inPage;
    const void* hit = memchr(bytes, '\n', n);
    if (!hit) {
      at += n;
      continue;
    }
    uint32_t lf = at + static_cast<uint32_t>(static_cast<const uint8_t*>(hit) - bytes);
    if (!crlf) return static_cast<int32_t>(lf);
    if (lf > start && ByteAt(lf - 1) == '\r') return static_cast<int32_t>(lf - 1);
    at = lf + 1;
  }
  return -1;
}

uint32_t CPagedBuffer::CopyToString(std::string& out, uint32_t offset, uint32_t count) const {
  out.clear();
  if (m_size == 0 || offset >= m_size) return 0;
  out.resize(std::min(count, m_size - offset));
  uint32_t n = ReadAt(&out[0], offset, static_cast<uint32_t>(out.size()));
  out.resize(n);
  return n;
}
