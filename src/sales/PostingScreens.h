#pragma once
// Makes the pre-posting review and the daily update available to
// openScreen: "frm転記前確認" and "frm更新日次".

void registerPostingScreens();
