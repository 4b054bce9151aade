#include "ui/AdvancedDialog.h"

#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "drive/DriveLink.h"
#include "exec/Exec.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "platform/ModalDialog.h"
#include "ui/LinearityEditor.h"
#include "ui/PinRules.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;
constexpr int ResetId = 3;
constexpr int LinearityButtonFirst = 4; // X, Y, Z, Rx, Ry, Rz: 4..9
constexpr int AxisComboFirst = 1010;    // X, Y, Z, Rx, Ry, Rz: 1010..1015
constexpr int AxisCaptionFirst = 1083;
constexpr int ExtGainComboId = 1016;
constexpr int CommandModeComboId = 1034;
constexpr int PwmFrequencyComboId = 2116;
constexpr int MotorInvertId = 1079;
constexpr int EncoderPprId = 2062;
constexpr int KeepOpen = -1;

constexpr int AnalogAxes = 6;
constexpr int32_t MotorInvertBit = 4; // bit 2 of WheelFlags
constexpr int32_t CountsPerPulse = 4;
constexpr int64_t MaximumPpr = 2147483647 / CountsPerPulse;

constexpr const char* CommandModes[] = {"PWM", "PWM+Dir", "PWM +/-", "VNH5019"};
constexpr const char* PwmFrequencies[] = {"4 KHz", "8 KHz", "20 KHz"};
constexpr ParamIndex DialogRecords[] = {CommandMode, EncoderCounts, PwmFrequency};

const char BadPpr[] = "Encoder PPR must be a whole number from 1 to 536870911.";

// The choices of an analog combo box: "None", the combo's own two-pin or
// encoder source when it has one, then the analog pins but A7.
std::vector<uint8_t> AnalogChoices(uint8_t source)
{
    std::vector<uint8_t> codes{NoPin};
    if (source != NoPin) codes.push_back(source);
    for (uint8_t a = PinA0; a <= PinA11; ++a)
        if (a != PinA7) codes.push_back(a);
    return codes;
}

// The source that combo 1010 + k offers beside the analog pins; the
// external gain has none.
uint8_t AxisSourceChoice(int k) { return k == 0 ? SourceEncoder : SourceLc57; }

void FillAnalogCombo(NativeHandle dialog, int id, uint8_t source)
{
    for (uint8_t code : AnalogChoices(source)) ActiveControls().AddComboItem(dialog, id, PinName(code), code);
}

// Selects the entry of the code, entry 0 when there is none.
void SelectAnalogCode(NativeHandle dialog, int id, uint8_t source, uint8_t code)
{
    const std::vector<uint8_t> codes = AnalogChoices(source);
    const auto at = std::find(codes.begin(), codes.end(), code);
    ActiveControls().SelectComboItem(dialog, id, at == codes.end() ? 0 : static_cast<int>(at - codes.begin()));
}

uint8_t SelectedCode(NativeHandle dialog, int id)
{
    Controls& controls = ActiveControls();
    return static_cast<uint8_t>(controls.ComboItemData(dialog, id, controls.ComboSelection(dialog, id)));
}

// The record takes the index selected in the combo box; with nothing
// selected (a value the list does not have) it keeps its own.
void TakeSelection(ParamControl& record, NativeHandle dialog, int id)
{
    const int selected = ActiveControls().ComboSelection(dialog, id);
    if (selected >= 0) record.value = selected;
}

// A whole number from 1 to the maximum, digits only.
bool ReadPpr(const char* text, int32_t& ppr)
{
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + (*c - '0');
        if (value > MaximumPpr) return false;
    }
    if (value < 1) return false;
    ppr = static_cast<int32_t>(value);
    return true;
}

// The combo boxes that act when chosen ("PWM Frequency" waits for "Ok").
bool IsActingCombo(int id)
{
    return (id >= PinComboFirst && id < PinComboFirst + ButtonOutputCount) ||
           (id >= AxisComboFirst && id <= ExtGainComboId) || id == CommandModeComboId;
}

class AdvancedDialogLogic final : public DialogLogic {
public:
    explicit AdvancedDialogLogic(AppContext& app) : app_(app) {}
    void Init(NativeHandle dialog) override;
    int Command(NativeHandle dialog, int id) override;
    // The combo boxes act on a new selection only, not on every focus
    // change or opening of their list.
    int Notified(NativeHandle dialog, int id, int code) override
    {
        const bool pinCombo = id >= PinComboFirst && id < PinComboFirst + ButtonOutputCount;
        if (pinCombo && (code == ComboListOpening || code == ComboFocused)) {
            OfferPins(app_, dialog, id - PinComboFirst);
            return KeepOpen;
        }
        if (IsActingCombo(id) && code != ComboSelectionChanged) return KeepOpen;
        return Command(dialog, id);
    }

private:
    int Accept(NativeHandle dialog);

    AppContext& app_;
};

void AdvancedDialogLogic::Init(NativeHandle dialog)
{
    for (ParamIndex i : DialogRecords) BindFromSet(app_, i, dialog);
    Controls& controls = ActiveControls();
    for (int i = 0; i < static_cast<int>(std::size(CommandModes)); ++i)
        controls.AddComboItem(dialog, CommandModeComboId, CommandModes[i], i);
    for (int i = 0; i < static_cast<int>(std::size(PwmFrequencies)); ++i)
        controls.AddComboItem(dialog, PwmFrequencyComboId, PwmFrequencies[i], i);
    for (int k = 0; k < AxisSourceCount; ++k) FillAnalogCombo(dialog, AxisComboFirst + k, AxisSourceChoice(k));
    FillAnalogCombo(dialog, ExtGainComboId, NoPin);
    // Only the axes the game controller has can be set; Ry and Rz have no
    // curve on the board, so their "Linearity" buttons stay disabled.
    for (int k = 0; k < AnalogAxes; ++k) {
        const bool present = (app_.controllerObjectMask[0] & (1u << k)) != 0;
        controls.Enable(dialog, AxisComboFirst + k, present);
        controls.Enable(dialog, AxisCaptionFirst + k, present);
        controls.Enable(dialog, LinearityButtonFirst + k, present && k < AxisSourceCount);
    }
    RefreshAdvanced(app_, dialog);
}

int AdvancedDialogLogic::Command(NativeHandle dialog, int id)
{
    PinMap& pins = app_.pins;
    if (id >= PinComboFirst && id < PinComboFirst + ButtonOutputCount) {
        const int slot = id - PinComboFirst;
        pins.buttonOutputMap[slot] = SelectedCode(dialog, id);
        SendRaw(app_, static_cast<uint8_t>(ButtonMapFirst + slot), 1, pins.buttonOutputMap[slot]);
        FillPinCombos(app_, dialog);
        OfferPins(app_, dialog, slot); // it keeps the focus, and the keys go through its list
    } else if (id >= AxisComboFirst && id < AxisComboFirst + AxisSourceCount) {
        const int k = id - AxisComboFirst;
        pins.axisSources[k] = SelectedCode(dialog, id);
        SendRaw(app_, static_cast<uint8_t>(AxisSourceFirst + k), 1, pins.axisSources[k]);
        FillPinCombos(app_, dialog);
    } else if (id >= LinearityButtonFirst && id < LinearityButtonFirst + AxisSourceCount) {
        OpenLinearityEditor(app_, dialog, id - LinearityButtonFirst);
    }
    switch (id) {
    case OkId:
        return Accept(dialog);
    case CancelId:
        // What was sent stays; the command mode and "Invert" stay in memory unsent.
        return 0;
    case ResetId:
        ResetBoardDefaults(app_);
        RefreshAdvanced(app_, dialog);
        break;
    case ExtGainComboId:
        pins.externalGainSource = SelectedCode(dialog, id);
        SendRaw(app_, ExtGainSourceNumber, 1, pins.externalGainSource);
        FillPinCombos(app_, dialog); // the gain's pin serves no button or output
        break;
    case CommandModeComboId:
        // Sent with "Ok"; the pins it holds are taken at once.
        app_.params[CommandMode].value = ActiveControls().ComboSelection(dialog, id);
        FillPinCombos(app_, dialog);
        break;
    case MotorInvertId: {
        // Sent with the next write of the wheel flags.
        int32_t& flags = app_.params[WheelFlags].value;
        flags = ActiveControls().IsChecked(dialog, id) ? (flags | MotorInvertBit) : (flags & ~MotorInvertBit);
        break;
    }
    default:
        break;
    }
    return KeepOpen;
}

int AdvancedDialogLogic::Accept(NativeHandle dialog)
{
    Controls& controls = ActiveControls();
    char text[64] = {};
    controls.Text(dialog, EncoderPprId, text, sizeof text);
    int32_t ppr = 0;
    // An empty or mistyped field would give the board 0 counts.
    if (!ReadPpr(text, ppr)) {
        controls.ShowMessage(dialog, BadPpr, ExecCaption(), MessageIconExclamation);
        return KeepOpen;
    }
    TakeSelection(app_.params[CommandMode], dialog, CommandModeComboId);
    TakeSelection(app_.params[PwmFrequency], dialog, PwmFrequencyComboId);
    app_.params[EncoderCounts].value = CountsPerPulse * ppr;
    for (ParamIndex i : {CommandMode, PwmFrequency, EncoderCounts}) SendParam(app_, app_.params[i]);
    WriteDriveParameter(app_, DriveSettingParam, ppr);
    SetDriveControl(app_, DriveControlApply);
    return 1;
}

// Every code a mapping slot can take, with its name, in the lists' order.
template <typename Offer>
void ForEachPin(Offer offer)
{
    offer(NoPin, PinName(NoPin));
    for (uint8_t code = 0; code <= LastDigitalPin; ++code) offer(code, PinName(code));
    for (uint8_t code = PinA0; code <= PinA5; ++code) offer(code, PinName(code));
    for (uint8_t a = PinA0; a <= PinA11; ++a) {
        if (a == PinA7) continue;
        for (int n = 1; n <= SubInputsPerPin; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "%s (%d)", PinName(a), n);
            offer(SubInput(a, n), name);
        }
    }
}

} // namespace

void OpenAdvancedSettings(AppContext& app)
{
    WaitLinkIdle(app);
    const uint8_t busy = app.commandBusy;
    app.commandBusy = 1;
    AdvancedDialogLogic logic(app);
    RunModalDialog(app.mainPage, AdvancedDialogId, logic);
    // A later read of these records must not address the closed dialog.
    for (ParamIndex i : DialogRecords) BindFromSet(app, i, nullptr);
    app.commandBusy = busy;
}

void OfferPins(AppContext& app, NativeHandle dialog, int slot)
{
    Controls& controls = ActiveControls();
    const int id = PinComboFirst + slot;
    controls.ResetCombo(dialog, id);
    int count = 0, selected = 0;
    ForEachPin([&](uint8_t code, const char* name) {
        if (!PinIsFree(app, code, slot)) return;
        controls.AddComboItem(dialog, id, name, code);
        if (code == app.pins.buttonOutputMap[slot]) selected = count;
        ++count;
    });
    controls.SelectComboItem(dialog, id, selected);
}

void FillPinCombos(AppContext& app, NativeHandle dialog)
{
    Controls& controls = ActiveControls();
    for (int slot = 0; slot < ButtonOutputCount; ++slot) {
        const uint8_t own = app.pins.buttonOutputMap[slot];
        uint8_t shown = NoPin;
        char name[16];
        std::snprintf(name, sizeof name, "%s", PinName(NoPin));
        ForEachPin([&](uint8_t code, const char* text) {
            if (code != own || !PinIsFree(app, code, slot)) return;
            shown = code;
            std::snprintf(name, sizeof name, "%s", text);
        });
        const int id = PinComboFirst + slot;
        controls.ResetCombo(dialog, id);
        controls.AddComboItem(dialog, id, name, shown);
        controls.SelectComboItem(dialog, id, 0);
    }
}

void RefreshAdvanced(AppContext& app, NativeHandle dialog)
{
    Controls& controls = ActiveControls();
    controls.SelectComboItem(dialog, CommandModeComboId, app.params[CommandMode].value);
    controls.SelectComboItem(dialog, PwmFrequencyComboId, app.params[PwmFrequency].value);
    char text[16];
    std::snprintf(text, sizeof text, "%d", app.params[EncoderCounts].value / CountsPerPulse);
    controls.SetText(dialog, EncoderPprId, text);
    FillPinCombos(app, dialog);
    for (int k = 0; k < AxisSourceCount; ++k)
        SelectAnalogCode(dialog, AxisComboFirst + k, AxisSourceChoice(k), app.pins.axisSources[k]);
    SelectAnalogCode(dialog, ExtGainComboId, NoPin, app.pins.externalGainSource);
    controls.SetChecked(dialog, MotorInvertId, (app.params[WheelFlags].value & MotorInvertBit) != 0);
}
