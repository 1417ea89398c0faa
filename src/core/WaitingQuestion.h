#pragma once

namespace orvenda {

class Calculator;

// What a program waits for from the user and where the user gives it: the one place every
// key, ENTER and screen asks. An Input or Prompt is answered by the line typed on its own
// screen (the program output, or the program editor under the debugger that runs it) and
// by no other: a field on another screen in front keeps what is typed there. Any thread
// may ask; the answers hold for the moment they are read.
class WaitingQuestion {
public:
    explicit WaitingQuestion(const Calculator& calc) : calc_(calc) {}

    // An Input or Prompt waits for its answer.
    bool asks() const;
    // A Menu( waits for its pick.
    bool picks() const;
    // A program waits for the user: a question, a menu's pick or a pause's ENTER.
    bool waitsForUser() const;
    // A program waits: for the user, or held between its statements (a step, a
    // breakpoint, a drawing) with its frames kept.
    bool waits() const;
    // The debugger runs the program that waits: its question is asked under the debugger.
    bool debugged() const;
    // The screen that shows what waits and where the user answers it.
    int screen() const;
    // What waits is on the screen in front.
    bool inSight() const;
    // A Pause waits for its ENTER where the user sees it: on its screen, or under the
    // graph's bar. Keys typed elsewhere are that screen's (ON still stops the run).
    bool pausedInSight() const;
    // A line entered on the screen in front answers the question.
    bool answeredHere() const { return asks() && inSight(); }
    // A line entered on the screen in front would reach a question out of sight.
    bool outOfSight() const { return asks() && !inSight(); }

private:
    const Calculator& calc_;
};

} // namespace orvenda
