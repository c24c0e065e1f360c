#pragma once

#include <QByteArray>

// A word list of `lines` numbered words: word0, word1, ...
inline QByteArray numberedWords(const char* word, int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray(word) + QByteArray::number(i) + "\n";
    return bytes;
}
