#include "Dictionaries.h"

#include <hunspell/hunspell.hxx>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace proofing {

namespace {

// More than any user dictionary a person builds; the rest of a larger file is not read.
constexpr size_t MaximumUserFileSize = 8 * 1024 * 1024;

bool readHead(const std::string &path, std::string &head, size_t size)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    head.resize(size);
    in.read(&head[0], std::streamsize(size));
    head.resize(size_t(in.gcount()));
    return true;
}

bool isRegularFile(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A .dic starts with its word count; binary data rarely does, and hunspell
// should not be handed it. Hunspell sizes its table by that count, so a count
// beyond what the file can hold is damage too.
bool looksLikeDic(const std::string &head, long long fileSize)
{
    if (head.find('\0') != std::string::npos)
        return false;
    size_t i = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t'))
        ++i;
    const size_t digits = i;
    while (i < head.size() && head[i] >= '0' && head[i] <= '9')
        ++i;
    if (i == digits || i - digits >= 10
        || !(i == head.size() || head[i] == '\n' || head[i] == '\r' || head[i] == ' ' || head[i] == '\t'))
        return false;
    return std::stoll(head.substr(digits, i - digits)) <= fileSize;
}

std::string fileStem(const std::string &path)
{
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool hasControl(const Text &word)
{
    return std::any_of(word.begin(), word.end(), [](char16_t c) { return c < 0x20 || c == 0x7f; });
}

} // namespace

MainDictionary::~MainDictionary() = default;

SC_SEC MainDictionary::open(const std::string &dicPath, std::unique_ptr<MainDictionary> &result)
{
    result.reset();
    const size_t dot = dicPath.rfind('.');
    const std::string affPath = (dot == std::string::npos || dicPath.find('/', dot) != std::string::npos
                                     ? dicPath : dicPath.substr(0, dot)) + ".aff";
    if (!isRegularFile(dicPath) || !isRegularFile(affPath))
        return secIOErrorMdr | secFileOpenError;
    std::string head;
    if (!readHead(dicPath, head, 64))
        return secIOErrorMdr | secFileReadError;
    struct stat st;
    if (::stat(dicPath.c_str(), &st) != 0 || !looksLikeDic(head, (long long)st.st_size))
        return secIOErrorMdr | secInvalidMainDict;
    if (!readHead(affPath, head, 4096) || head.find('\0') != std::string::npos)
        return secIOErrorMdr | secInvalidMainDict;

    std::unique_ptr<MainDictionary> dict(new MainDictionary);
    dict->m_hunspell = std::make_unique<Hunspell>(affPath.c_str(), dicPath.c_str());
    std::string encoding = dict->m_hunspell->get_dict_encoding();
    if (encoding.empty())
        encoding = "ISO8859-1"; // hunspell's own default
    dict->m_encoding = std::make_unique<Converter>(encoding);
    if (!dict->m_encoding->isValid())
        return secIOErrorMdr | secInvalidMainDict;
    dict->m_language = languageOfLocale(fileStem(dicPath));
    result = std::move(dict);
    return secNOERRORS;
}

bool MainDictionary::toDictionary(const Text &word, std::string &out)
{
    return !word.empty() && word.size() <= MaximumWordLength && m_encoding->encode(word, out);
}

bool MainDictionary::spell(const Text &word)
{
    std::string w;
    return toDictionary(word, w) && m_hunspell->spell(w);
}

std::vector<Text> MainDictionary::suggest(const Text &word)
{
    std::vector<Text> out;
    std::string w;
    if (!toDictionary(word, w))
        return out;
    for (const std::string &s : m_hunspell->suggest(w)) {
        const Text t = m_encoding->decode(s.data(), s.size());
        if (!t.empty())
            out.push_back(t);
    }
    return out;
}

SC_SEC UserDictionary::open(const std::string &path, bool create, Converter &fallback)
{
    m_path = path;
    m_words.clear();
    m_order.clear();
    if (path.empty())
        return secIOErrorUdr | secFileOpenError;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (!create)
            return secIOErrorUdr | secFileOpenError;
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (!f)
            return secIOErrorUdr | secFileCreateError;
        std::fclose(f);
    } else if (!S_ISREG(st.st_mode)) {
        return secIOErrorUdr | secFileOpenError;
    }
    std::string bytes;
    if (!readHead(path, bytes, MaximumUserFileSize))
        return secIOErrorUdr | secFileReadError;
    m_readOnly = ::access(path.c_str(), W_OK) != 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        bool valid = false;
        Text word = utf8ToText(line, &valid);
        if (!valid)
            word = fallback.decode(line.data(), line.size());
        if (word.empty() || word.size() > 255 || hasControl(word) || !m_words.insert(word).second)
            continue;
        m_order.push_back(word);
    }
    return secNOERRORS;
}

bool UserDictionary::accepts(const Text &word) const
{
    return m_words.count(word) || m_words.count(lowerCase(word));
}

SC_SEC UserDictionary::add(const Text &word)
{
    if (m_readOnly)
        return secIOErrorUdr | secUdrReadOnly;
    if (m_words.count(word))
        return secNOERRORS;
    std::FILE *f = std::fopen(m_path.c_str(), "ab");
    if (!f)
        return secIOErrorUdr | secFileWriteError;
    const std::string line = textToUtf8(word) + "\n";
    const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    if (std::fclose(f) != 0 || !ok)
        return secIOErrorUdr | secFileWriteError;
    m_words.insert(word);
    m_order.push_back(word);
    return secNOERRORS;
}

SC_SEC UserDictionary::remove(const Text &word)
{
    if (m_readOnly)
        return secIOErrorUdr | secUdrReadOnly;
    if (!m_words.erase(word))
        return secNOERRORS;
    m_order.erase(std::remove(m_order.begin(), m_order.end(), word), m_order.end());
    return rewrite();
}

SC_SEC UserDictionary::clear()
{
    if (m_readOnly)
        return secIOErrorUdr | secUdrReadOnly;
    m_words.clear();
    m_order.clear();
    return rewrite();
}

// Through a temporary file beside the list, so a failed write keeps the old list.
SC_SEC UserDictionary::rewrite()
{
    const std::string temp = m_path + ".tmp";
    std::FILE *f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return secIOErrorUdr | secFileWriteError;
    bool ok = true;
    for (const Text &w : m_order) {
        const std::string line = textToUtf8(w) + "\n";
        ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), m_path.c_str()) != 0) {
        std::remove(temp.c_str());
        return secIOErrorUdr | secFileWriteError;
    }
    return secNOERRORS;
}

} // namespace proofing
