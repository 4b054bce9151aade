#pragma once

// The style bits and answers of the system's message boxes (MessageBoxA),
// for portable code that asks through Controls::ShowMessage.
constexpr unsigned MessageYesNoCancel = 0x3;
constexpr unsigned MessageYesNo = 0x4;
constexpr unsigned MessageIconQuestion = 0x20;
constexpr unsigned MessageIconExclamation = 0x30;
constexpr unsigned MessageIconInformation = 0x40;

constexpr int MessageAnswerCancel = 2;
constexpr int MessageAnswerYes = 6;
constexpr int MessageAnswerNo = 7;
