#include "exec/ScriptTable.h"

#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/ScriptText.h"

#include <cctype>
#include <cstring>
#include <new>

namespace {

constexpr unsigned WantedNameMax = 127;
constexpr char CtrlZ = 26;

// Parentheses end a token like the other separators and are passed over
// with them, so the reader never stops in front of one.
bool IsSeparator(char c)
{
    switch (c) {
    case '\t': case '\n': case '\r': case ' ': case ',': case '<': case '=': case '>': case '|': case '(': case ')':
        return true;
    default:
        return false;
    }
}

bool AtTextEnd(const ScriptTable* table, const char* p) { return p >= table->end || *p == '\0' || *p == CtrlZ; }

void SetAtEnd(ScriptTable* table) { table->status |= ScriptAtEnd; }

// Keeps the token in the table's own buffer, reused while it fits.
void StoreToken(ScriptTable* table, const char* text, std::size_t length)
{
    if (length + 1 > table->tokenCapacity) {
        auto* bigger = static_cast<char*>(AllocMem(MemMainRam, length + 1));
        if (bigger) {
            FreeText(table->token);
            table->token = bigger;
            table->tokenCapacity = length + 1;
        } else {
            length = table->tokenCapacity ? table->tokenCapacity - 1 : 0;
        }
    }
    if (!table->token) return;
    std::memcpy(table->token, text, length);
    table->token[length] = '\0';
}

// Gathers a token in the shared 64 KiB workspace; longer tokens are cut.
struct Workspace {
    char* bytes = FormatTempBuffer();
    std::size_t length = 0;
    void Add(char c)
    {
        if (length < FormatTempSize - 1) bytes[length++] = c;
    }
};

bool StartsComment(const ScriptTable* table, const char* p)
{
    return p[0] == '/' && p + 1 < table->end && (p[1] == '/' || p[1] == '*');
}

// Past a comment that starts at p, as ReadToken passes it, but never past
// the end of the text.
const char* PastComment(const ScriptTable* table, const char* p)
{
    const bool line = p[1] == '/';
    for (p += 2; !AtTextEnd(table, p); ++p) {
        if (line && (*p == '\r' || *p == '\n')) return p;
        if (!line && p[0] == '*' && p + 1 < table->end && p[1] == '/') return p + 2;
    }
    return p;
}

// Past the token that starts at p, as ReadToken gathers it, but never past
// the end of the text.
const char* PastToken(const ScriptTable* table, const char* p)
{
    while (!AtTextEnd(table, p) && !IsSeparator(*p) && !StartsComment(table, p)) {
        const char quote = *p++;
        if (quote != '"' && quote != '\'') continue;
        for (; !AtTextEnd(table, p) && *p != quote; ++p)
            if (quote == '\'' && *p == '\\' && !AtTextEnd(table, p + 1)) ++p;
        return AtTextEnd(table, p) ? p : p + 1;
    }
    return p;
}

// Whether the token that starts at p reads as a section header: it begins
// with '[', or its quoted text does (in apostrophes a backslash takes the
// next character as it stands, so '\[ reads as [).
bool OpensHeader(const ScriptTable* table, const char* p)
{
    if (*p == '[') return true;
    if (*p != '"' && *p != '\'') return false;
    const char* text = p + 1;
    if (*p == '\'' && text + 1 < table->end && *text == '\\') ++text;
    return !AtTextEnd(table, text) && *text == '[';
}

void ToUpper(char* text)
{
    for (; *text; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

ScriptValue* NewValue(const ScriptTable* table, const char* text)
{
    void* memory = AllocMem(MemMainRam, sizeof(ScriptValue));
    if (!memory) return nullptr;
    auto* value = new (memory) ScriptValue;
    value->text = CopyText(text);
    value->user[0] = table->user[0];
    value->user[1] = table->user[1];
    return value;
}

const ScriptKeyword* Lookup(const ScriptKeyword* keywords, const char* key)
{
    for (const ScriptKeyword* k = keywords; k->name; ++k)
        if (std::strcmp(k->name, key) == 0) return k;
    return nullptr;
}

uint32_t Hexadecimal(const char* text)
{
    uint32_t value = 0;
    for (; *text; ++text) {
        const char c = *text;
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            break;
        value = value * 16u + digit;
    }
    return value;
}

} // namespace

void ReadToken(ScriptTable* table)
{
    Workspace token;
    char*& p = table->cursor;
    if (p >= table->end) {
        SetAtEnd(table);
        StoreToken(table, "", 0);
        return;
    }
    while (!AtTextEnd(table, p) && IsSeparator(*p)) ++p;
    if (AtTextEnd(table, p)) {
        SetAtEnd(table);
        StoreToken(table, "", 0);
        return;
    }
    for (;;) {
        if (AtTextEnd(table, p)) {
            // A token that runs into the end of the text is lost.
            token.length = 0;
            SetAtEnd(table);
            break;
        }
        const char c = *p;
        if (IsSeparator(c)) break;
        if (c == '"') {
            for (++p; p < table->end && *p != '"'; ++p) token.Add(*p);
            if (p < table->end) ++p;
            break;
        }
        if (c == '\'') {
            for (++p; p < table->end && *p != '\''; ++p) {
                if (*p == '\\' && p + 1 < table->end) ++p;
                token.Add(*p);
            }
            if (p < table->end) ++p;
            break;
        }
        if (c == '/' && p + 1 < table->end && p[1] == '/') {
            while (!AtTextEnd(table, p) && *p != '\n' && *p != '\r') ++p;
            if (AtTextEnd(table, p)) SetAtEnd(table);
            break;
        }
        if (c == '/' && p + 1 < table->end && p[1] == '*') {
            for (p += 2; p + 1 < table->end && !(p[0] == '*' && p[1] == '/');) ++p;
            if (p + 1 < table->end) {
                p += 2;
            } else {
                p = table->end;
                SetAtEnd(table);
            }
            break;
        }
        token.Add(c);
        ++p;
    }
    StoreToken(table, token.bytes, token.length);
}

bool SectionNameFits(const char* who, const char* name)
{
    if (std::strlen(name) <= WantedNameMax) return true;
    LogPrintf(0, "%s: section name longer than %u characters refused: %s", who, WantedNameMax, name);
    return false;
}

const char* FindSectionHeader(ScriptTable* table, const char* name)
{
    if (!SectionNameFits("FindSection", name)) return nullptr;
    char wanted[WantedNameMax + 1];
    const std::size_t wantedLength = std::strlen(name);
    for (std::size_t i = 0; i < wantedLength; ++i)
        wanted[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));

    const char* p = table->start;
    for (;;) {
        while (!AtTextEnd(table, p) && *p != '[') ++p;
        if (AtTextEnd(table, p)) return nullptr;
        const char* header = p;
        const char* close = p + 1;
        while (!AtTextEnd(table, close) && *close != ']' && *close != '[') ++close;
        if (AtTextEnd(table, close)) return nullptr; // a header cut by the end of the text
        if (*close == '[') {
            // This header was never closed: the next '[' opens one, so a
            // section written after an unclosed '[' is found again.
            p = close;
            continue;
        }
        const auto length = static_cast<std::size_t>(close - header - 1);
        bool same = length == wantedLength;
        for (std::size_t i = 0; same && i < length; ++i)
            same = std::toupper(static_cast<unsigned char>(header[1 + i])) == static_cast<unsigned char>(wanted[i]);
        if (same) {
            table->cursor = const_cast<char*>(close + 1);
            return header;
        }
        p = close + 1;
    }
}

bool FindSection(ScriptTable* table, const char* name) { return FindSectionHeader(table, name) != nullptr; }

const char* SectionEnd(const ScriptTable* table, const char* p)
{
    bool tokenOnLine = false;      // a key or a value came before on this line
    bool value = false;            // and a separator after it leads to a value
    const char* indent = nullptr;  // where the line's leading blanks begin, while only blanks came
    while (!AtTextEnd(table, p)) {
        const char c = *p;
        if (c == '\r' || c == '\n') {
            tokenOnLine = value = false;
            indent = ++p;
        } else if (c == ' ' || c == '\t') {
            ++p;
        } else if (IsSeparator(c)) {
            value = tokenOnLine;
            indent = nullptr;
            ++p;
        } else if (StartsComment(table, p)) {
            p = PastComment(table, p);
            indent = nullptr;
        } else if (!value && OpensHeader(table, p)) {
            return indent ? indent : p;
        } else {
            const char* next = PastToken(table, p);
            // The reader passes over an empty quoted token where it looks for
            // a key, so a separator after one leads to no value.
            const bool emptyQuote = next == p + 2 && (c == '"' || c == '\'') && p[1] == c;
            if (tokenOnLine || !emptyQuote) {
                tokenOnLine = true;
                value = false;
            }
            indent = nullptr;
            p = next;
        }
    }
    return p;
}

const char* NextKey(ScriptTable* table)
{
    do {
        ReadToken(table);
        if (table->status & ScriptAtEnd) return nullptr;
    } while (!table->token || table->token[0] == '\0');
    ToUpper(table->token);
    if (table->token[0] == '[') {
        SetAtEnd(table);
        return nullptr;
    }
    return table->token;
}

ScriptValue* NextValue(ScriptTable* table)
{
    ReadToken(table);
    if (table->status & ScriptAtEnd) return nullptr;
    return NewValue(table, table->token ? table->token : "");
}

bool LineComplete(const ScriptTable* table)
{
    const char* p = table->cursor;
    while (p < table->end && (*p == '\t' || *p == ' ' || *p == '=' || *p == '(' || *p == ')')) ++p;
    if (p + 1 >= table->end) return true;
    if (*p == '/' && p[1] == '/') return true; // a comment closes the line
    return *p == '\r' || *p == '\n' || *p == '\0' || *p == CtrlZ;
}

void FreeValues(ScriptValue* values)
{
    while (values) {
        ScriptValue* next = values->next;
        FreeText(values->text);
        FreeMem(values);
        values = next;
    }
}

void ParseSection(ScriptTable* table, const char* section, const ScriptKeyword* keywords, ScriptCallback callback)
{
    table->status &= static_cast<uint16_t>(~ScriptAtEnd);
    if (section) {
        if (!FindSection(table, section)) return;
    } else {
        table->cursor = table->start;
    }
    while (!(table->status & ScriptAtEnd)) {
        const char* key = NextKey(table);
        if (!key) break;
        const ScriptKeyword* keyword = Lookup(keywords, key);
        if (!keyword) {
            while (!LineComplete(table) && !(table->status & ScriptAtEnd)) ReadToken(table);
            continue;
        }
        ScriptValue* values = nullptr;
        ScriptValue** tail = &values;
        auto take = [&]() {
            ScriptValue* value = NextValue(table);
            if (!value) return false;
            *tail = value;
            tail = &value->next;
            return true;
        };
        if (keyword->count != ScriptAllValues) {
            for (int i = 0; i < keyword->count && take(); ++i) {
            }
        } else if (!LineComplete(table)) {
            while (take() && !LineComplete(table)) {
            }
        }
        if (LineComplete(table)) callback(keyword->id, values);
        FreeValues(values);
    }
}

int32_t ValueToInt(const char* text)
{
    const std::size_t length = std::strlen(text);
    const bool hexPrefix = length >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    bool numeric = true;
    for (const char* p = text; *p && numeric; ++p) numeric = std::strchr("0123456789.-+", *p) != nullptr;
    if (hexPrefix) return static_cast<int32_t>(Hexadecimal(text + 2));
    if (!numeric) return static_cast<int32_t>(Hexadecimal(text));
    if (length > 10) return 0;
    uint32_t sum = 0;
    uint32_t power = 1;
    for (std::size_t i = length; i-- > 0;) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            sum += static_cast<uint32_t>(c - '0') * power;
            power *= 10u;
        } else if (c == '-') {
            return static_cast<int32_t>(0u - sum);
        } else {
            return static_cast<int32_t>(sum);
        }
    }
    return static_cast<int32_t>(sum);
}

int32_t NextValueAsInt(ScriptValue** values)
{
    if (!*values) return 0;
    const char* text = (*values)->text ? (*values)->text : "";
    *values = (*values)->next;
    return ValueToInt(text);
}

const char* NextValueText(ScriptValue** values)
{
    if (!*values) return "Missing parameter";
    const char* text = (*values)->text ? (*values)->text : "";
    *values = (*values)->next;
    return text;
}
