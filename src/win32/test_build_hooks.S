# The test build's hook routines: those of hooks.S, assembled again with the dialogue
# trampoline calling VykcnReplaceDialogueText, so that the dialogue site is recorded apart from
# the export, which the shipped trampoline shares.
#define VykcnReplaceSubtitle VykcnReplaceDialogueText
#include "hooks.S"
