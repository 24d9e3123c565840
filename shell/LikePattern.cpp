#include "shell/LikePattern.h"

namespace {

// Matches one character against the bracket set that starts at pattern[open] ("[").
// Returns false in `closed` when the bracket has no closing "]" (then it is a literal "[").
// On success `next` is the pattern position behind the closing "]".
bool MatchSet(QChar c, const QString& pattern, qsizetype open, bool& closed, qsizetype& next) {
    qsizetype pos = open + 1;
    bool negate = false;
    if (pos < pattern.size() && pattern.at(pos) == QLatin1Char('!')) {
        negate = true;
        ++pos;
    }
    const qsizetype close = pattern.indexOf(QLatin1Char(']'), pos);
    if (close < 0) {
        closed = false;
        return false;
    }
    closed = true;
    next = close + 1;
    bool found = false;
    while (pos < close) {
        const QChar first = pattern.at(pos);
        if (pos + 2 < close && pattern.at(pos + 1) == QLatin1Char('-')) {
            const QChar last = pattern.at(pos + 2);
            if (first <= c && c <= last) {
                found = true;
            }
            pos += 3;
        } else {
            if (first == c) {
                found = true;
            }
            ++pos;
        }
    }
    return found != negate;
}

// Matches text[t] against the single-character element at pattern[p] (anything but "*").
// `next` receives the pattern position behind the element.
bool MatchOne(QChar c, const QString& pattern, qsizetype p, qsizetype& next) {
    const QChar element = pattern.at(p);
    if (element == QLatin1Char('?')) {
        next = p + 1;
        return true;
    }
    if (element == QLatin1Char('#')) {
        next = p + 1;
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    if (element == QLatin1Char('[')) {
        bool closed = false;
        const bool inSet = MatchSet(c, pattern, p, closed, next);
        if (closed) {
            return inSet;
        }
    }
    next = p + 1;
    return element == c;
}

// An empty list "[]" stands for no character at all: it is skipped.
bool IsEmptySet(const QString& pattern, qsizetype p) {
    return p + 1 < pattern.size() && pattern.at(p) == QLatin1Char('[') && pattern.at(p + 1) == QLatin1Char(']');
}

}  // namespace

bool Like(const QString& text, const QString& pattern) {
    qsizetype t = 0;
    qsizetype p = 0;
    // Where the last "*" was seen: the pattern behind it and the text position it has taken up to.
    qsizetype starPattern = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (IsEmptySet(pattern, p)) {
            p += 2;
            continue;
        }
        if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            starPattern = ++p;
            starText = t;
            continue;
        }
        qsizetype next = p;
        if (p < pattern.size() && MatchOne(text.at(t), pattern, p, next)) {
            p = next;
            ++t;
            continue;
        }
        if (starPattern < 0) {
            return false;
        }
        // Let the last "*" take one more character and try the rest of the pattern again.
        p = starPattern;
        t = ++starText;
    }
    while (p < pattern.size() && (pattern.at(p) == QLatin1Char('*') || IsEmptySet(pattern, p))) {
        p += pattern.at(p) == QLatin1Char('*') ? 1 : 2;
    }
    return p == pattern.size();
}
