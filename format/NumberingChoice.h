#pragma once

#include "document/TextProperties.h"

#include <array>

class FormattingCommands;
struct ParagraphValues;

// One entry of the numbering kinds menu: the control's numbering code and
// the image the numbering button takes for it.
struct NumberingKindEntry {
    NumberingKind kind;
    int code;
    const char *caption; // the same in every language
    int imageIndex;
};

// The numbering button, the kind chosen for it and the start box of one
// document window: what pressing, choosing and synchronising change.
class NumberingChoice
{
public:
    static const std::array<NumberingKindEntry, 6> &kinds();
    static const NumberingKindEntry &entry(NumberingKind kind);

    explicit NumberingChoice(FormattingCommands *commands) : m_commands(commands) {}

    NumberingKind kind() const { return m_kind; }
    bool isButtonDown() const { return m_buttonDown; }
    bool isStartShown() const { return m_startShown; }
    int start() const { return m_start; }

    // The button pressed into down (numbers the paragraphs) or up.
    void setButtonDown(bool down);
    // A kind chosen in the menu; renumbers only paragraphs that are numbered.
    void chooseKind(NumberingKind kind, const ParagraphValues &current);
    // The start box changed by the user.
    void setStart(int start);
    // Button and box from the paragraph at the caret.
    void sync(const ParagraphValues &current);

private:
    static bool isNumbered(NumberingKind kind);

    FormattingCommands *m_commands;
    NumberingKind m_kind = NumberingKind::Bullet;
    bool m_buttonDown = false;
    bool m_startShown = false;
    int m_start = 1;
};
