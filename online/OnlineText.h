// Text helpers shared by the web translator and the online update. The
// placeholder expander itself, ExpandTemplateVars, is the dictionary engine's
// (dict/DictResources.h): one rule for every template of the program.
#pragma once

#include <cstdint>
#include <string>

#include "core/KeyTree.h"

void SetTemplateVar(CStringMap& vars, const wchar_t* name, const std::wstring& value);

// Keeps letters, digits and _ - . @ *.
void FilterNameChars(std::wstring& out, const wchar_t* text);

// An engine's reply as HTML that can do nothing but show text: line breaks
// stay as <br>, scripts and styles go with their content, every other tag is
// dropped, character references are decoded, and the text is escaped again.
void ReplyToSafeHtml(std::wstring& out, const std::wstring& reply);

// ASCII-only case-insensitive prefix test.
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix);
void AsciiToLower(std::wstring& text);
