#pragma once

#include <QString>

class QWidget;

// Shows a help document (HTML) in a help window; one window per engine,
// reused for later requests.
class HelpEngine
{
public:
    virtual ~HelpEngine() = default;
    // Shows the contents page of helpFile; false when it cannot be read.
    virtual bool showContents(const QString &helpFile) = 0;
    // Closes the help window, if one is open; the program's frame closes it with itself.
    virtual void closeWindow() {}
};
