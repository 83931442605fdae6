#pragma once

class Settings;

// The program-wide switch for printed page numbers. One object holds it for
// the print commands and the preview window, and keeps it in the settings.
class PageNumbering
{
public:
    // Reads the switch from its settings line; any word but the one for
    // numbers leaves them off.
    void restore(const Settings &settings);
    void store(Settings &settings) const;

    bool isOn() const { return m_on; }
    void setOn(bool on) { m_on = on; }

private:
    bool m_on = false;
};
