#pragma once
// What the play screen gives the course: the words of a game from the word
// list's files, and the message box that says why a game does not start.

#include "course.h"

class PlayScreenHost : public CourseHost {
public:
    bool loadWords(const CountsCheck& enough) override;
    void showProblem(const QString& text) override;
};
