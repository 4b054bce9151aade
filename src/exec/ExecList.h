#pragma once

#include <cstdint>

// Every runtime record begins with a node: links, name, type and priority.
struct ExecNode {
    ExecNode* next = nullptr;
    ExecNode* prev = nullptr;
    const char* name = nullptr;
    uint16_t type = 0;
    int16_t priority = 0;
};

// Node types used by the runtime.
constexpr uint16_t NodeTypeTask = 5;
constexpr uint16_t NodeTypePool = 6;
constexpr uint16_t NodeTypeSemaphore = 7;
constexpr uint16_t NodeTypeList = 9;
constexpr uint16_t NodeTypeInvalid = 0xFFFF;

struct ExecList;
// Releases one member of a list (its owned parts, or all of it).
using ExecListRelease = void (*)(ExecList* list, ExecNode* member);

// A named, typed list; itself a node, so that lists can be members of lists.
// The member chain runs from head to tail; both are null when it is empty.
struct ExecList : ExecNode {
    ExecNode* head = nullptr;
    ExecNode* tail = nullptr;
    ExecListRelease release = nullptr;
    uintptr_t spare[2] = {};

    constexpr ExecList() { name = "List"; type = NodeTypeList; }
};

// Names and empties the list (a static list is named "List" until then).
void InitList(ExecList* list, const char* name, ExecListRelease release = nullptr);

void AddTail(ExecList* list, ExecNode* node);
// Inserts by descending priority; a node goes after those of equal priority.
void Enqueue(ExecList* list, ExecNode* node);
void Unlink(ExecList* list, ExecNode* node);
bool Contains(const ExecList* list, const ExecNode* node);
int CountMembers(const ExecList* list);

// The first member whose name equals name without regard to ASCII case.
ExecNode* FindName(const ExecList* list, const char* name);

// Releases the first member again and again until the list is empty: the
// list's release function first (when it has one), then, when memberSize is
// not 0, the member is unlinked, marked invalid and freed with FreeMem.
// With memberSize 0 the release function must unlink the member itself.
void EmptyList(ExecList* list, unsigned memberSize);

// ASCII comparison without regard to letter case.
bool SameTextNoCase(const char* a, const char* b);
