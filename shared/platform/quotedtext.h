#pragma once
// Text from a file or from the user, as a message quotes it: a control
// character written as its code point (U+001B), since the character itself
// would act on the terminal or show as nothing.

#include <QString>

#include <optional>

// The text cut to 40 characters and an ellipsis, each control character
// written as its code point.
QString QuotableText(const QString& text);
// The first control character of text, as its code point; nothing when
// there is none.
std::optional<QString> ControlCharacter(const QString& text);
