#pragma once
// The diagnostic workers the four Execute methods run, one thread procedure each, taking the
// control's PevlinState. An empty entry makes its method return at once without a run.
using PevlinWorker = unsigned(__stdcall*)(void* state);

enum PevlinMethod { kPevlinLSQ, kPevlinISP, kPevlinV6TR, kPevlinVELDIN, kPevlinMethodCount };

extern PevlinWorker g_pevlinWorkers[kPevlinMethodCount];
