#pragma once

// The main menu's look for new messages: started once when the menu is made,
// with a download for a player with an online name; the answer is taken in
// by the menu's update, and messages still new then (of this download or,
// when it failed, of the last one) raise the popup there.
void CheckForNewOnlineMessages();
// True while the check waits for its answer.
bool PollNewOnlineMessages();
// The player reached the messages another way: no popup for them later.
void ForgetNewOnlineMessagesCheck();
