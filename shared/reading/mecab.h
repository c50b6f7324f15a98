#pragma once
// MeCab loaded from its library file at run time rather than linked, so the
// programs run without it, with the first dictionary that reads UTF-8 with
// the IPA features. Once loaded, a thread reads the dictionary's files through
// so that the first analyses do not wait for the disk.

#include "reading/analysis.h"

#include <QLibrary>
#include <QList>
#include <QString>
#include <QStringList>

#include <thread>

struct MecabTagger;
struct MecabDictionaryHead;

class MecabAnalyzer {
public:
    MecabAnalyzer();
    ~MecabAnalyzer();
    MecabAnalyzer(const MecabAnalyzer&) = delete;
    MecabAnalyzer& operator=(const MecabAnalyzer&) = delete;

    // The library file and the dictionary folders tried in order ("" for the
    // one MeCab's own settings name). Drops the loaded analyser.
    void setSource(const QString& library, const QStringList& dictionaries);
    // "libmecab.so.2", the configured dictionary, then the UTF-8 IPA
    // dictionary's Debian folder.
    void setDefaultSource();

    // True when MeCab is there to use; the first call loads it.
    bool ready();
    // MeCab's best analyses of text, best first, at most count; empty when
    // the analysis failed.
    QList<Analysis> analyses(const QString& text, int count) const;

private:
    void load();
    bool createTagger(const QString& dictionary);
    void readDictionaryAhead();
    void unload();

    using MecabNew = MecabTagger* (*)(int argc, char** argv);
    using MecabParseBest = const char* (*)(MecabTagger* tagger, std::size_t count,
                                           const char* text);
    using MecabDestroy = void (*)(MecabTagger* tagger);
    using MecabDictionaryInfo = const MecabDictionaryHead* (*)(MecabTagger* tagger);

    QLibrary m_library;
    QStringList m_dictionaries;
    bool m_tried = false;
    MecabTagger* m_tagger = nullptr;
    MecabNew m_create = nullptr;
    MecabParseBest m_parse = nullptr;
    MecabDestroy m_destroy = nullptr;
    MecabDictionaryInfo m_dictionaryInfo = nullptr;
    // Reads the dictionary's files into the page cache; stopped on unload.
    std::jthread m_reader;
};
