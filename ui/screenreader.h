// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct TavolaUi;

// What a screen reader says as the game goes. The question and the verdict
// travel with the focus: the answer box, which takes the focus with every
// new question, is named after it ("8 per 7"); the verdict is told as the
// next-question button takes the focus with it.
void voiceQuestionsAndVerdicts(TavolaUi &ui);
