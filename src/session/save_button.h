#pragma once

struct HandlerContext;

// SAVE: with REQUEST, CANCEL, Get Mode and Change Mode disabled, asks for a file name and saves
// the uploaded history there, under a busy cursor; the outcome goes to the status text. A
// cancelled dialog changes nothing else.
void SaveButtonClicked(HandlerContext& context);
