#pragma once
// Byte-width text functions on CP932 strings, shared by the extraction and the wizard. Lengths,
// counts and positions are in bytes (a double-byte character counts 2); positions start at 1.
// CopyWholeChars (and PadRightWholeChars, built on it) respect character boundaries; the other
// cuts may split a double-byte character. Every cut of a text that goes into the document or the
// error list is made with CopyWholeChars: half a character there makes the whole file invalid
// Shift_JIS.

#include <string>
#include <string_view>

namespace nc16 {

// Count half-width blanks for 0 <= Count <= 510; empty otherwise.
std::string MakeBlanks(int count);

// The first Count bytes of S, filled with blanks to Count bytes (unpadded when Count > 510).
std::string PadRightBytes(std::string_view s, int count);

// The last Count bytes of S, preceded by blanks to make Count bytes (unpadded when Count > 510).
std::string RightAlignBytes(std::string_view s, int count);

// The last Count bytes of S, never padded.
std::string RightPart(std::string_view s, int count);

// S without half-width blanks, control characters and full-width blanks at either end.
std::string TrimBlanks(std::string_view s);

// The whole characters of S between the byte positions FromByte and ToByte: the character that
// holds FromByte (whole, also when FromByte is its second byte) to the last character that ends
// at or before ToByte. With FromByte 1: the longest prefix of at most ToByte bytes that does not
// split a character.
std::string CopyWholeChars(std::string_view s, int from_byte, int to_byte);

// A column of Count bytes: the longest prefix of S of at most Count bytes that does not split a
// character, filled with blanks to Count bytes (a character that would straddle the end leaves
// a blank in its place).
std::string PadRightWholeChars(std::string_view s, int count);

// S with its ASCII letters in upper case; the bytes of double-byte characters stay as they are.
std::string AsciiUpper(std::string_view s);

// Case-insensitive (ASCII letters only) test of how S ends.
bool EndsWithNoCase(std::string_view s, std::string_view suffix);

}  // namespace nc16
