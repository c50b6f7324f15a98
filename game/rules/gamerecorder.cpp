#include "gamerecorder.h"

#include "judge.h"
#include "kana/romaji.h"

#include <QStringList>

#include <algorithm>
#include <utility>

void GameRecorder::begin(const GameSummary& game) {
    m_record = GameRecord{};
    static_cast<GameSummary&>(m_record) = game;
    m_record.words = m_record.keys = m_record.misses = 0;
    m_missesAt.clear();
    m_typingMs = 0;
    m_hasWord = false;
    m_state = State::Playing;
}

void GameRecorder::showWord(const QString& text, const QString& codes, const QString& target,
                            qint64 ms) {
    if (!playing())
        return;
    leaveWord(ms);
    const QStringList units = KanaUnits(codes);
    m_ends = RomajiUnitEnds(codes);
    // Both come from the same reading and agree unit for unit.
    m_ends.resize(std::min(m_ends.size(), units.size()));
    m_word = WordRecord{text, std::nullopt, std::nullopt, {}};
    m_word.kana.reserve(m_ends.size());
    for (qsizetype k = 0; k < m_ends.size(); ++k)
        m_word.kana.append(KanaRecord{units[k], QString(), std::nullopt, {}});
    m_target = target;
    m_unit = 0;
    m_typed = 0;
    m_shownAt = m_unitFrom = ms;
    m_hasWord = true;
}

void GameRecorder::keyAccepted(const QString& target, int charPos, qint64 ms) {
    if (!playing() || !m_hasWord)
        return;
    ++m_record.keys;
    if (!m_word.reactionMs)
        m_word.reactionMs = int(ms - m_shownAt);
    // The judge rewrites only the unit being typed, from charPos on (what is
    // typed stays), so every unit that ends after charPos moves with the
    // change of length: SHI typed as SI ends one letter earlier.
    if (const qsizetype grown = target.size() - m_target.size(); grown != 0) {
        for (int& end : m_ends) {
            if (end > charPos)
                end += int(grown);
        }
    }
    m_target = target;
    m_typed = charPos + 1;
    while (m_unit < m_ends.size() && m_ends[m_unit] <= m_typed) {
        m_word.kana[m_unit].ms = int(ms - m_unitFrom);
        m_unitFrom = ms;
        ++m_unit;
    }
    if (m_typed >= m_target.size()) {
        m_word.completionMs = int(ms - m_shownAt);
        ++m_record.words;
        leaveWord(ms);
    }
}

void GameRecorder::keyMissed(QChar key, const QString& target, int charPos, qint64 ms) {
    if (!playing() || !m_hasWord)
        return;
    // Counted even on a word without a reading (a list may hold one), whose
    // misses belong to no kana.
    ++m_record.misses;
    if (!m_word.reactionMs)
        m_word.reactionMs = int(ms - m_shownAt);
    if (m_unit < m_ends.size()) {
        QList<KeyMiss>& misses = m_word.kana[m_unit].misses;
        misses.append({QString(), QString(key)});
        m_missesAt.append({m_record.wordList.size(), m_unit, misses.size() - 1, target, charPos});
    }
}

void GameRecorder::leaveWord(qint64 ms) {
    if (!m_hasWord)
        return;
    m_hasWord = false;
    m_typingMs += ms - m_shownAt;
    // The units typed, and the one being typed when a key fell on it; the
    // others were never begun.
    qsizetype begun = m_unit;
    if (m_unit < m_ends.size()) {
        const int from = m_unit > 0 ? m_ends[m_unit - 1] : 0;
        begun += m_typed > from || !m_word.kana[m_unit].misses.isEmpty();
    }
    m_word.kana.resize(begun);
    for (qsizetype k = 0; k < begun; ++k) {
        const int from = k > 0 ? m_ends[k - 1] : 0;
        m_word.kana[k].spelling = m_target.mid(from, std::min(m_ends[k], m_typed) - from);
    }
    m_record.wordList.append(std::move(m_word));
}

void GameRecorder::finish(GameResult result, int stage, qint32 score, qint64 ms) {
    if (!playing())
        return;
    leaveWord(ms);
    m_record.result = result;
    m_record.stage = stage;
    m_record.score = score;
    m_record.seconds = double(m_typingMs) / 1000.0;
    m_state = State::Finished;
}

const GameRecord* GameRecorder::finished() const {
    return m_state == State::Finished ? &m_record : nullptr;
}

std::optional<GameRecord> GameRecorder::take() {
    if (m_state != State::Finished)
        return std::nullopt;
    m_state = State::Idle;
    for (const MissAt& at : m_missesAt)
        m_record.wordList[at.word].kana[at.unit].misses[at.miss].expected =
            AcceptedKeys(at.target, at.charPos);
    m_missesAt.clear();
    return std::exchange(m_record, GameRecord{});
}
