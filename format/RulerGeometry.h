#pragma once

// Where the ruler's indent markers stand and what a dropped marker means.
// x values are ruler client pixels; textLeft and textRight are the edges of
// the editor's text area mapped into the ruler.
class RulerGeometry
{
public:
    // Ruler pixels per point.
    static constexpr double Scale = 4.0 / 3.0;
    // Space the editor keeps beside its text on either side.
    static constexpr int GutterWidth = 6;

    enum class Side { Left, Right };

    RulerGeometry(int textLeft, int textRight) : m_textLeft(textLeft), m_textRight(textRight) {}

    int indentToX(int points, Side side) const;
    int xToIndent(int x, Side side) const;

    // A marker's left edge while dragged: within the ruler, and on its right
    // end one marker width short of it (dragOffset is half the marker width).
    static int dragPosition(int left, int rulerWidth, int dragOffset);

    // Indents from dropped markers, in points. The left indent is relative
    // to the first-line indent and never moves the text left of the margin.
    int droppedFirstIndent(int markerCentre) const;
    int droppedLeftIndent(int markerCentre, int firstIndent) const;
    int droppedRightIndent(int markerCentre) const;

private:
    int m_textLeft;
    int m_textRight;
};
