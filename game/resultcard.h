#pragma once
// The result of the game last over, drawn on the play area once the game
// ends: the score, the speed in keys and in kana per minute, the accuracy,
// the misses and the words that cost them; after an early loss, how to slow
// the fall; and a key that opens Seiseki with the whole history. Everything
// is said in words (no colour carries meaning), and the card's accessible
// description holds all of it for a screen reader.

#include "play/gamerecord.h"

#include <QFrame>

class QLabel;
class QPushButton;

class ResultCard : public QFrame {
    Q_OBJECT

public:
    explicit ResultCard(QWidget* parent);

    // Fills the card with game's figures and shows it, its bottom above
    // lowest (in the play screen's pixels) where it fits: clear of a word
    // lying there.
    void showGame(const GameRecord& game, int lowest);

private:
    // Starts Seiseki, or says on the card that it is missing.
    void cmdSeiseki_Click();
    // The accessible description: every line the card shows, in order.
    void describe();

    QLabel* lblResultTitle = nullptr;
    QLabel* lblResultScore = nullptr;
    QLabel* lblResultKpm = nullptr;
    QLabel* lblResultKanaPerMinute = nullptr;
    QLabel* lblResultAccuracy = nullptr;
    QLabel* lblResultMisses = nullptr;
    QLabel* lblResultWords = nullptr;
    QLabel* lblResultAdvice = nullptr;
    QPushButton* cmdSeiseki = nullptr;
    QLabel* lblSeisekiMissing = nullptr;
};
