#include "exec/ExecList.h"

#include "exec/Memory.h"

#include <cctype>

void InitList(ExecList* list, const char* name, ExecListRelease release)
{
    list->name = name;
    list->type = NodeTypeList;
    list->head = nullptr;
    list->tail = nullptr;
    list->release = release;
}

void AddTail(ExecList* list, ExecNode* node)
{
    node->next = nullptr;
    node->prev = list->tail;
    if (list->tail)
        list->tail->next = node;
    else
        list->head = node;
    list->tail = node;
}

void Enqueue(ExecList* list, ExecNode* node)
{
    ExecNode* after = list->head;
    while (after && after->priority >= node->priority) after = after->next;
    if (!after) {
        AddTail(list, node);
        return;
    }
    node->next = after;
    node->prev = after->prev;
    if (after->prev)
        after->prev->next = node;
    else
        list->head = node;
    after->prev = node;
}

void Unlink(ExecList* list, ExecNode* node)
{
    if (node->prev)
        node->prev->next = node->next;
    else
        list->head = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        list->tail = node->prev;
    node->next = nullptr;
    node->prev = nullptr;
}

bool Contains(const ExecList* list, const ExecNode* node)
{
    for (const ExecNode* n = list->head; n; n = n->next)
        if (n == node) return true;
    return false;
}

int CountMembers(const ExecList* list)
{
    int count = 0;
    for (const ExecNode* n = list->head; n; n = n->next) ++count;
    return count;
}

bool SameTextNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

ExecNode* FindName(const ExecList* list, const char* name)
{
    for (ExecNode* n = list->head; n; n = n->next)
        if (n->name && SameTextNoCase(n->name, name)) return n;
    return nullptr;
}

void EmptyList(ExecList* list, unsigned memberSize)
{
    while (ExecNode* member = list->head) {
        if (list->release) list->release(list, member);
        if (memberSize != 0) {
            Unlink(list, member);
            member->type = NodeTypeInvalid;
            FreeMem(member);
        } else if (list->head == member) {
            // A release function that left its member linked would loop for ever.
            Unlink(list, member);
        }
    }
}
