// Input statements: INPUT and LINE INPUT ask through the INPUT dialog (a window reached through a
// hook, shown on the user-interface thread while the interpreter waits), the field executors take the
// typed line apart one target at a time, READ and RESTORE walk the DATA constants left in the code,
// and RANDOMIZE seeds the generator.
#pragma once

#include "core/codeitem.h"
#include "core/sharedstate.h"

#include <QString>

// What the INPUT dialog shows.
struct InputDialogRequest {
    bool LineInput = false; // LINE INPUT layout (no retry)
    QString Prompt;
    QString Title;           // InputTitle: the caption set by the program; empty for the default
    bool Retry = false;      // the last answer held a field that is not a number
    QString PreviousText;    // that answer, shown again on a retry
    bool Positioned = false; // IBPOSITION: stand at (Left, Top) instead of the screen centre
    int Left = 0;
    int Top = 0;
};

// INPUT or LINE INPUT (by code); RANDOMIZE or RANDOMIZE seed (by code).
void ExecInputStatement(int code);
void ExecRandomizeStatement(int code);

// INPUT ["prompt" {, | ;}] targets  and  LINE INPUT ["prompt" {, | ;}] target$
void ExecInput(bool lineInput);
// Internal 243 and 244: the next field of InputLine into the numeric or string transfer slot.
void ExecInputNumField();
void ExecInputStrField();
// READ target (one target item follows, up to the statement end).
void ExecRead();
// RESTORE [*label | line number]
void ExecRestore();
// RANDOMIZE [seed]
void ExecRandomize(bool withArgument);

// The code index of the first DATA statement at or after `index`; 0 and error 1006 when none.
int FindDataLine(int index);
// The count of DATA statements before the line numbered `key`; 0 when there is no such line.
int FindLabelData(int key);

// The run-window echo of an INPUT: while the dialog is open, and after the answer.
QString InputEchoInProgress(bool lineInput, const QString& prompt);
QString InputEchoFinal(bool lineInput, const QString& prompt, const QString& text);

// Targets of INPUT#, READ and the transfer slots: numeric names, locals and public entries (kinds
// 12, 13, 61) and their string twins (22, 23, 62).
bool IsNumTarget(const CodeItemType& item);
bool IsStrTarget(const CodeItemType& item);
void StoreNumTarget(const CodeItemType& item, Extended value);
void StoreStrTarget(const CodeItemType& item, const QString& value);
// The string variable a target item names, to be filled in place; null for a slot outside its table.
QString* StrTargetSlot(const CodeItemType& item);
// The value of a string literal, string variable or local string item; false for any other item.
bool StringItemValue(const CodeItemType& item, QString& value);
