// Check characters: one or two decimal digits appended to a serial number so
// that a serial typed or scanned back with a typo is recognised as wrong.
// They are computed over ALL of the serial number, letters and punctuation
// included, from one table of character values:
//
//   '0'..'9'  ->  0..9
//   'A'..'Z'  -> 10..35, and 'a'..'z' the same: a serial read back in other
//                case is the same serial (people type serials in either case)
//   the other 33 printable ASCII characters, space to '~' in ASCII order
//             -> 36..68 (' ' 36, '!' 37, ... '-' 49, '.' 50, '/' 51, ... '~' 68)
//   any other byte b (control characters, every byte of a UTF-8 character
//   outside ASCII) -> 69 + b % 28, so 69..96
//
// Every value is below 97, and the 69 printable ASCII characters (letters of
// either case counting once) have distinct values.
//
// mod97 (two digits, ISO 7064 MOD 97-10 on digit strings, as in IBANs): the
// serial c1..cn is read as S = sum of v(ci) * 10^(n-i) mod 97 (for a digit
// string that is the number itself mod 97), and the check is 98 - (100 * S mod
// 97), written as two digits 02..98. A serial with its check is right when its
// whole text, read the same way, is 1 mod 97. Guarantee, over the printable
// ASCII characters, the check digits included: 97 is prime and 10 is not 0 mod
// 97, so changing one character from value a to value b changes the sum by
// (b - a) * 10^k, which is not 0 mod 97 because 0 < |b - a| < 97; swapping two
// neighbours of values a != b changes it by (10a + b - 10b - a) * 10^k =
// 9 (a - b) * 10^k, again not 0 mod 97 since 9 (= 10 - 1) is not 0 mod 97. So
// EVERY single-character substitution and EVERY adjacent transposition of two
// different characters is caught. Two bytes outside printable ASCII may share
// a value; a change among them is caught unless their values are equal.
//
// mod10 (GS1, as in EAN-13 and GTIN) and luhn (as in payment card numbers):
// one digit, computed over the serial's digit string, where each character
// stands for its value written in decimal: one digit below 10, two digits
// from 10 on (so letters as in ISINs: "US0378331005" checks with luhn). mod10
// weights the digits 3, 1, 3, ... from the right; luhn doubles every second
// digit from the right (the sum of the product's digits). On a serial of digits
// both catch every single-digit substitution; of the adjacent transpositions
// of two different digits mod10 misses the ten whose digits differ by 5 (catches
// 80 of 90, 89%) and luhn misses only 09 <-> 90 (88 of 90, 98%). A letter or
// punctuation mark spans two digits, which shifts the weights of everything
// before it, so on mixed serials both catch about nine typos in ten: of every
// substitution by another printable ASCII character and every adjacent swap
// in "LW01-2405-0001", "AST-240506-0001" and "SN-20240506-00001" (check
// included), mod10 catches 91.2% and luhn 91.7%, where mod97 catches all.
#ifndef QUILLET_CORE_CHECK_CHARACTER_H_
#define QUILLET_CORE_CHECK_CHARACTER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "quillet/numbering_policy.h"

namespace quillet {

// CheckMethod, CheckMethodWord, CheckMethodOf and CheckMethodWords are in
// quillet/numbering_policy.h, as a rule's policy names its method.

// How many check characters the method appends: 1 for mod10 and luhn, 2 for
// mod97. Pure.
std::size_t CheckLength(CheckMethod method);

// The check characters (decimal digits) of `serial` by `method`, to append to
// it. Every text has them, the empty one included. Pure; thread-safe.
std::string CheckCharacters(CheckMethod method, std::string_view serial);

// Whether `serial_with_check` ends in the right check characters of the text
// before them. False for a text no longer than the check itself. Pure;
// thread-safe.
bool HasValidCheckCharacters(CheckMethod method, std::string_view serial_with_check);

}  // namespace quillet

#endif  // QUILLET_CORE_CHECK_CHARACTER_H_
