#pragma once
// The built-in texts of the online requests, stored scrambled (ScrambleString
// makes them plain; no scrambled form holds a zero byte).
namespace Net {
namespace texts {

inline constexpr char kSecurePrefix[] = "\x8C\xED\xD3\xB3\xED\xCB\xAA\xF9";
inline constexpr char kPlainPrefix[] = "\xE3\x90\xED\xD7\xF9\xB1\xDE";
inline constexpr char kAgentName[] = "\xB5\xF0\xB8\xDF\xEA\x96\xFA\xCF\xE3\xD2\x98\xF1\xB3";
// A plain-text content type, as one header line.
inline constexpr char kHeaders[] =
    "\xC6\xB9\xDC\xFF\x81\xF7\xD3\xEE\xCA\x88\xF5\xB3\x88\xAB\x90\xFC\xDF\xB7\xB1\x81\xE9\xB7\xDB\xE5\xDF\xB9\xC4"
    "\xAB\xFF\x83\xF6\xB3\xC6\xB6\x91\xEA\x8A\xA2\xED\x92\xEC\xBF\xBF\x81";
inline constexpr char kVerb[] = "\xD5\x99\xE1\xDF";

}  // namespace texts
}  // namespace Net
