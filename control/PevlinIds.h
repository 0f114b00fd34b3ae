#pragma once
// The control's fixed identifiers; the type library (AxPevlin.idl) and the registration
// script (AxPevlin.regscript) spell the same values.
#include <windows.h>

inline constexpr GUID kLibidAxPevlin = {0x0a05dd02, 0xf0fd, 0x489b, {0x93, 0x6b, 0x50, 0xdf, 0x0c, 0x2e, 0xd8, 0x89}};
inline constexpr GUID kClsidPevlin = {0xf0201d43, 0x5009, 0x454b, {0x8a, 0xb6, 0x62, 0x2e, 0x45, 0x01, 0x27, 0xc6}};
inline constexpr GUID kIidIpevlin = {0x5845cc3b, 0x16af, 0x42ab, {0xb2, 0x1e, 0xc8, 0x18, 0x5b, 0x27, 0x69, 0xec}};
inline constexpr GUID kDiidIpevlinEvents = {0x0cc95412, 0x0a00, 0x4cbb, {0xb3, 0x13, 0x7e, 0x30, 0x9d, 0xd0, 0x93, 0xbf}};

inline constexpr char kClsidPevlinText[] = "{F0201D43-5009-454B-8AB6-622E450127C6}";
inline constexpr char kProgIdPevlin[] = "AxPevlin.pevlin.1";
inline constexpr char kVersionIndependentProgIdPevlin[] = "AxPevlin.pevlin";

// The content server that the default CheckURL names.
inline constexpr char kPevlinContentServer[] = "http://127.0.0.1";
