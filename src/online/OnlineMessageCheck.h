#pragma once

// The main menu's look for new messages: started once when the menu is made,
// for a player with an online name; the answer is taken in by the menu's
// update, and new messages raise the popup there.
void CheckForNewOnlineMessages();
// True while the check waits for its answer.
bool PollNewOnlineMessages();
// The player reached the messages another way: no popup for them later.
void ForgetNewOnlineMessagesCheck();
