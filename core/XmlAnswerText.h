#pragma once
// The bytes of an XML answer as the UTF-16 text that the XML parser is given. The parser
// never sees bytes: it decodes only some encodings on some systems, so every answer takes the
// same road here, whatever it declares.
#include <windows.h>

#include "CStringT.h"

// Answers longer than this are refused, as definition files of that size are.
constexpr DWORD kMaxXmlAnswerSize = 0x400000;

// Decodes bytes by the encoding their XML declaration names: Shift_JIS (and its aliases) as
// code page 932, UTF-8 as UTF-8 (also when a UTF-8 byte-order mark opens the text), and the
// ANSI code page when nothing is declared. The declaration loses its encoding, which no
// longer holds for the result. False, with text emptied, for an encoding of any other name,
// a declaration that does not end, bytes that do not decode, an answer longer than
// kMaxXmlAnswerSize, and for a document type declaration (no DTD, no entity of an answer is
// ever read).
bool DecodeXmlAnswer(const char* bytes, int length, CStringW& text);
