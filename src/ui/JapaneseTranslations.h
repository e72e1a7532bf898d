#pragma once
// Qt's own Japanese translations, so that the standard buttons of message
// boxes and input prompts read "OK", "キャンセル", "はい", "いいえ" as on any
// Japanese desktop. Returns false when the translation files are missing.

bool useJapaneseTranslations();
