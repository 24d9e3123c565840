#pragma once

#include <QString>

// Whole-string wildcard match of scanned values against a pattern, case-sensitive:
//   *        any run of characters, also none
//   ?        exactly one character
//   #        exactly one decimal digit (0-9)
//   [abc]    one character out of the list; ranges such as [A-F0-9]; [!...] one character not in it
// Inside brackets *, ? and # stand for themselves, so [*], [?] and [#] match those characters.
// A "[" without a closing "]" is an ordinary character; an empty list "[]" matches no character at all.
bool Like(const QString& text, const QString& pattern);
