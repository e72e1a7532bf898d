#pragma once
// Makes the gas screens available to openScreen: "frmガス入力" (after the
// gas customer picker) and "frmガス集計".

void registerGasScreens();
