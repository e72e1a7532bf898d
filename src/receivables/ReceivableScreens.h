#pragma once
// Makes the receivables screens available to openScreen: "frm売掛入金".

void registerReceivableScreens();
