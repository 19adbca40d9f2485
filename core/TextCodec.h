// Text decoding and code-page conversion: byte-order marks, the program's own
// UTF-8 codec, the system's code pages, and the Unicode block table.
#pragma once

#include <cstdint>
#include <string>

// Encoding codes of DetectByteOrderMark and DecodeTextBuffer.
enum TextEncoding : int {
  kEncodingFailed = -1,
  kEncodingCodePage = 0,
  kEncodingUtf8 = 1,
  kEncodingUtf16LE = 2,
  kEncodingUtf16BE = 3,
  kEncodingUtf32LE = 4,
  kEncodingUtf32BE = 5,
};

// Code-page numbers a caller may name besides the system's own.
constexpr uint32_t kCodePageUtf8 = 65001;
constexpr uint32_t kCodePageUtf16LE = 65002;
constexpr uint32_t kCodePageUtf16BE = 65003;
constexpr uint32_t kCodePageUtf32LE = 65004;
constexpr uint32_t kCodePageUtf32BE = 65005;

constexpr int kUnicodeBlockCount = 146;

int DetectByteOrderMark(uint32_t* markLength, const void* buffer, uint32_t size);
int DecodeTextBuffer(std::wstring& out, const void* buffer, uint32_t size, uint32_t codePage);

int MultiByteToWString(std::wstring& out, const char* text, int length, uint32_t codePage, uint32_t flags);
int WStringToMultiByte(std::string& out, const wchar_t* text, int length, uint32_t codePage, uint32_t flags);
int WStringToMultiByteStr(std::string& out, const std::wstring& text);

int Utf8ToWString(std::wstring& out, const char* text, int length);
int WStringToUtf8(std::string& out, const wchar_t* text, int length);
int Utf8ToUtf16(wchar_t* out, const char* text, int length);
int Utf16ToUtf8(char* out, const wchar_t* text, int length);
int Utf32ToUtf16(wchar_t* out, const uint32_t* text, int length);
uint32_t DecodeUtf8Sequence(uint32_t* codePoint, const uint8_t* bytes, uint32_t available);

void SwapBytes16(void* buffer, int count);
void SwapBytes32(void* buffer, int count);

int FindUnicodeBlock(uint32_t codePoint);
bool IsInUnicodeBlock(uint32_t codePoint, int index);

uint32_t GetFileSizeOf(const wchar_t* path);
uint32_t ReadFileToString(std::string& out, const wchar_t* path);
