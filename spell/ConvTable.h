#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A list of (key, value) pairs of UTF-16 strings kept sorted by key (ordinal
// comparison) while Sorted is on; Find is a binary search. Out-of-range
// indexes throw std::out_of_range, as a string list's index error would.
class TTableList
{
public:
    virtual ~TTableList() = default;

    int Count() const { return int(m_items.size()); }
    int Capacity() const { return int(m_items.capacity()); }
    void SetCapacity(int capacity) { m_items.reserve(capacity); }
    bool Sorted() const { return m_sorted; }
    // Switching it on sorts at once.
    void SetSorted(bool sorted);
    // Whether Add keeps a second pair with a key already present.
    bool Duplicates() const { return m_duplicates; }
    void SetDuplicates(bool duplicates) { m_duplicates = duplicates; }

    const QString &Key(int index) const;
    const QString &Value(int index) const;
    // Adds in key order when Sorted, else at the end; answers the pair's
    // index. Without Duplicates an existing key keeps its pair.
    int Add(const QString &key, const QString &value);
    void Clear();

    // True when key is present; index is then its first pair, otherwise the
    // place where it would be inserted. Needs Sorted.
    virtual bool Find(const QString &key, int &index) const;
    virtual void Sort();

protected:
    // Called before and after the pairs change order.
    virtual void Changing() {}
    virtual void Changed() {}

private:
    void checkIndex(int index) const;

    QList<QPair<QString, QString>> m_items;
    bool m_sorted = true;
    bool m_duplicates = false;
};

// The character conversion between the editor and one ispell dictionary.
// ToProcess maps text sent to the process (the one ConvertText uses);
// FromProcess is its reverse and is kept for dictionaries that fill it.
// A table named "UTF-8" also encodes the converted text in UTF-8.
class TConvTable
{
public:
    QString Name;
    TTableList FromProcess;
    TTableList ToProcess;
};

// Replaces, left to right, the longest key of table.ToProcess found at each
// position by its value; then, for a table named "UTF-8", stores each UTF-8
// byte of the result as one UTF-16 unit (each unit encoded on its own).
QString ConvertText(const QString &text, const TConvTable &table);

// Font character set and insertion code page of a dictionary's character-set
// name ("koi8-r", "iso-8859-2", "UTF-8" …); other names give the default
// character set 1 and the ANSI code page.
int CharsetOfName(const QString &name);
int CodePageOfName(const QString &name);
