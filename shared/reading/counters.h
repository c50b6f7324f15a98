#pragma once
// Numbers before their counters: MeCab reads each number and its counter apart
// as they sound alone (一 イチ, 回 カイ, 日 ニチ), where the counted word is
// said otherwise.

#include "reading/analysis.h"

#include <vector>

// True for a digit of a number, 一 to 十, 百, 何 and the like.
bool IsNumber(const Morpheme& part);
// True for a counter word after a number: 人, 日, 回, 歳, ...
bool IsCounter(const Morpheme& part);

// Respells each number with its counter as the counted word is said: the few
// counts said in native Japanese that every pupil learns (一人 ヒトリ, 二日
// フツカ, 二十歳 ハタチ), 四 and 九 before the counters that take their
// short sounds (四時 ヨジ, 九時 クジ), and a number's last sound closing
// before its counter (一回 イッカイ, 八本 ハッポン).
void ReadCounts(std::vector<Sound>& sounds);
