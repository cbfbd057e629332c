// The executors of the statements that move the program counter or store values: END, LET, IF, the
// SELECT CASE tests, GOTO, GOSUB, RETURN, the run-time skip of DATA, DEF and DIM, STOP, RUN, and the
// switches and small actions ECHO, CHKMSG, BEEP and SLEEP. Each reads its operands from the code items
// after its statement item and from the Gl stack, and reports failures through ErrorNumber.
#pragma once

// END: the next fetch meets an end item and the run ends normally.
void ExecEnd();
// LET: stores the value on the Gl stack (below any subscripts) into the target item after the statement.
void ExecLet();
// The LET of the value on the Gl stack (below any subscripts) to the numeric variable or array of
// NumVarTable[index].
void LetNumber(int index);
// IF: a false condition takes the jump target, a true one skips it.
void ExecIf();
// Internal 257: the opposite sense of IF (a true condition jumps).
void ExecCaseBoolean();
// CASE x1, ..., xn: count, selector and list values on the stack; a match skips the jump target.
void ExecSelectCaseNum();
// CASE x TO y: selector and the two bounds on the stack.
void ExecSelectCaseRange();
// CASE IS op x: the relational tests 251, 253, 254, 255, 256 and 258 (ParseCode::CaseEqual ...).
void ExecCaseCompare(int code);
// GOTO and GOSUB: a line number, a label name or a code index after the statement item.
void ExecGoto(bool gosub);
void ExecGotoStatement(int code); // either (by code)
// RETURN: back to the item after the last GOSUB's target.
void ExecReturn();
// DATA, DEF and DIM met while running: skip to the statement end.
void SkipDeclaration();
// STOP: ends the run as stopped, resumable by CONT after the STOP statement.
void SyncStop();
// RUN: the thread starts again and compiles the program afresh (the run loop then leaves).
void ExecRun();
// DEGREES and RADIANS (by code).
void ExecAngleUnit(int code);
// NEW: forgets the program text.
void ExecNew();
// ECHO ON|OFF and CHKMSG ON|OFF.
void ExecEcho();
void ExecChkMsg();
// BEEP: the system's default beep, through BeepHook on the user-interface thread.
void ExecBeep();
// SLEEP ms: waits at most 10 seconds, and wakes at once on a stop request.
void ExecSleep();

// The code index of line number `key`, 0 when the program has no such line.
int FindLabel(int key);
// SYSTEM and CONT; the run loop leaves after them (and after RUN).
void ExecSystem();
void ExecCont();
