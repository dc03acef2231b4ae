#pragma once

class Tool;

// A child window of the chart area that answers commands of its own: while it is the active
// one, every click is offered to it before the shell's command of that name.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    // Runs the command of the clicked tool; false when it is none of this window's.
    virtual bool CommandHandler(Tool &tool) = 0;
};
