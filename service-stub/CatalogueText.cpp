#include "service-stub/CatalogueText.h"

namespace quillo::stub {

const std::vector<ArtistText>& ArtistTexts() {
  static const std::vector<ArtistText> artists = {
      {"林晓风", 1, Language::kChinese},       {"苏晴", 3, Language::kChinese},
      {"Mira Stone", 10, Language::kEnglish},  {"星河乐队", 4, Language::kChinese},
      {"DJ 小北", 13, Language::kChinese},     {"Ellis Marlow", 10, Language::kEnglish},
      {"李若溪", 3, Language::kChinese},       {"青葉ゆい", 8, Language::kJapanese},
      {"周远航", 1, Language::kChinese},       {"한별", 9, Language::kKorean},
      {"R/D", 10, Language::kEnglish},         {"青柠组合", 4, Language::kChinese},
      {"动漫合唱团", 14, Language::kChinese},  {"陈一鸣", 1, Language::kChinese},
      {"许沐晨", 3, Language::kChinese},       {"佚名", 15, Language::kChinese},
  };
  return artists;
}

const std::vector<std::string_view>& SongTitles(Language language) {
  static const std::vector<std::string_view> chinese = {
      "晚风", "街角的等待", "月光小窗", "流年", "雨后晴天", "远方的信", "星河", "花海",
      "少年时", "日出之前", "故乡的河", "北方的雪", "再见夏天", "明年此时", "光", "青石板路",
      "海边的风", "白日梦", "旧时光", "回声", "向前走", "夜航", "灯火", "秋千", "云朵",
      "慢慢走", "晴天日记", "山那边", "午后", "归途"};
  static const std::vector<std::string_view> english = {
      "Silver Water", "Paper Boats", "Night/Day", "Morning Sun", "Back: Home", "River Road",
      "City Lights", "Summer Rain", "Lullaby Sea", "Young and Free", "Harbor Song", "Open Sky"};
  static const std::vector<std::string_view> japanese = {"青い空", "風の歌", "星の夜", "花びら"};
  static const std::vector<std::string_view> korean = {"별빛", "바람", "꿈"};
  switch (language) {
    case Language::kEnglish: return english;
    case Language::kJapanese: return japanese;
    case Language::kKorean: return korean;
    default: return chinese;
  }
}

const std::vector<std::string_view>& AlbumTitles(Language language) {
  static const std::vector<std::string_view> chinese = {"晚风集", "城市日记", "光影", "远行",
                                                        "拾光", "夏夜", "回家的路", "第一张专辑"};
  static const std::vector<std::string_view> english = {"First Light", "Harbor Tales",
                                                        "Open Roads", "Blue Hours"};
  static const std::vector<std::string_view> japanese = {"空の色", "夜明け"};
  static const std::vector<std::string_view> korean = {"첫 번째 이야기", "여름밤"};
  switch (language) {
    case Language::kEnglish: return english;
    case Language::kJapanese: return japanese;
    case Language::kKorean: return korean;
    default: return chinese;
  }
}

const std::vector<std::string_view>& VerseLines(Language language) {
  static const std::vector<std::string_view> chinese = {
      "风吹过安静的街角", "我在灯下等你回来", "晚霞落在远方山顶", "月光洒满小小窗台",
      "时间像河水慢慢流", "你说过的话还在耳边", "我们一起走过的路", "雨后的天空格外蓝",
      "心里藏着一首歌", "唱给很远的你听", "星星眨着眼睛", "梦里有片花海",
      "城市的夜还没睡", "路灯一盏一盏亮起", "把思念写进信里", "寄往海的另一边",
      "春天来了又走了", "只有你还在心上", "轻轻哼起那段旋律", "回到我们的少年",
      "一步一步向前走", "不怕前方有多远", "握紧你温暖的手", "陪你看日出日落",
      "笑容像阳光一样", "照亮我每一天", "天边的云在飘", "我的心也在飞",
      "故乡的小河", "静静流过门前", "炊烟升起的时候", "妈妈在喊我回家",
      "火车开往北方", "窗外雪花纷飞", "再见了夏天", "蝉声留在树梢",
      "我们约好明年", "还在这里相见", "每一个清晨", "都有新的希望"};
  static const std::vector<std::string_view> english = {
      "Walking down the river road", "The city lights are calling me",
      "Hold on to the morning sun", "We were young and free", "Every star has a story",
      "I don't want to say goodbye", "Dancing in the summer rain",
      "There is a song inside my heart", "Take my hand and come along",
      "The ocean sings a lullaby", "Paper boats on silver water",
      "We will find our way back home", "Under the open sky", "Counting the waves tonight"};
  static const std::vector<std::string_view> japanese = {
      "あおいそらのした", "かぜがふいている", "ゆめをみていた", "きみのこえがきこえる",
      "ほしがひかるよる", "はなびらがまう", "あさがきたら", "みちをあるこう"};
  static const std::vector<std::string_view> korean = {
      "바람이 불어요", "별빛 아래서", "너를 기다려", "꿈속의 노래", "함께 걸어요", "하늘을 봐요"};
  switch (language) {
    case Language::kEnglish: return english;
    case Language::kJapanese: return japanese;
    case Language::kKorean: return korean;
    default: return chinese;
  }
}

const std::vector<std::string_view>& ChorusLines(Language language) {
  static const std::vector<std::string_view> chinese = {"啦啦啦快乐地唱", "爱就在这里",
                                                        "你是我的光", "永远不说再见"};
  static const std::vector<std::string_view> english = {"Oh oh sing it loud",
                                                        "This is where we belong"};
  static const std::vector<std::string_view> japanese = {"ずっといっしょに", "またあした"};
  static const std::vector<std::string_view> korean = {"안녕 내 사랑", "우리 함께"};
  switch (language) {
    case Language::kEnglish: return english;
    case Language::kJapanese: return japanese;
    case Language::kKorean: return korean;
    default: return chinese;
  }
}

}  // namespace quillo::stub
