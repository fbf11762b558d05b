#pragma once

#include <array>
#include <string>

#include "platform/platform.h"

// The game's one window object: every field of the game and every operation on it.
// It knows nothing of a widget toolkit; it draws, asks and plays through a Platform.
// Fields are public on purpose: the operations read and write them directly, and the
// tests set up positions the same way.
class Form1 {
public:
    using 盤表 = std::array<std::array<int, 10>, 10>;
    using 持駒表 = std::array<int, 9>;
    static constexpr int 記録数 = 501;

    explicit Form1(Platform& platform);

    // ------------------------------------------------------------------ game state
    // Answers of the tests.
    static constexpr int 判定_有 = 1;
    static constexpr int 判定_無 = 0;
    static constexpr int 空桝 = 0;
    static constexpr int 盤サイズ = 9;

    // Piece kinds; a promoted kind is its unpromoted code plus 1.
    static constexpr int 駒_歩 = 10;
    static constexpr int 駒_と = 11;
    static constexpr int 駒_香 = 20;
    static constexpr int 駒_香成 = 21;
    static constexpr int 駒_桂 = 30;
    static constexpr int 駒_桂成 = 31;
    static constexpr int 駒_銀 = 100;
    static constexpr int 駒_銀成 = 101;
    static constexpr int 駒_金 = 110;
    static constexpr int 駒_角 = 800;
    static constexpr int 駒_角成 = 801;
    static constexpr int 駒_飛 = 900;
    static constexpr int 駒_飛成 = 901;
    static constexpr int 駒_王 = 950;

    // Picture codes share the code space of the kinds.
    static constexpr int 絵_空桝 = 0;
    static constexpr int 絵_勢力桝 = 1;
    static constexpr int 絵_ロゴ = 2;
    static constexpr int 絵_背景 = 3;

    // Sides.
    static constexpr int 手番_無 = 0;
    static constexpr int 手番_先手 = 1;
    static constexpr int 手番_後手 = -1;

    // Kinds of match.
    static constexpr int モード_人間 = 0;
    static constexpr int モード_COM = 1;

    static constexpr int ボタン_右 = 2;

    // The kind held in hand slot 1..8 (slot 0 holds nothing).
    static constexpr std::array<int, 9> kSlotKinds = {0,     駒_歩, 駒_香, 駒_桂, 駒_銀,
                                                      駒_金, 駒_角, 駒_飛, 駒_王};
    // Kanji numerals for 1..9 (index 0 is empty).
    static constexpr const char* kKanjiNumerals[10] = {"",   "一", "二", "三", "四",
                                                       "五", "六", "七", "八", "九"};

    // Palette colours.
    static constexpr int 色_黒 = 0;
    static constexpr int 色_緑 = 2;
    static constexpr int 色_明紫 = 13;
    static constexpr int 色_白 = 15;
    static constexpr int 背景色 = 色_緑;
    static constexpr int 桝輪郭色 = 背景色;
    static constexpr int 移動結果色 = 色_白;

    // Screen geometry in twips: grid column 0 and row 0 start at (盤X, 盤Y).
    static constexpr int 盤X = 700;
    static constexpr int 盤Y = 100;
    static constexpr int 桝幅 = 495;
    static constexpr int 桝高 = 615;

    // Where the last drop of each hand is written.
    static constexpr int 結果表示X_後手 = -1;
    static constexpr int 結果表示Y_後手 = 9;
    static constexpr int 結果表示X_先手 = 13;
    static constexpr int 結果表示Y_先手 = 2;

    // The window's home place and outer size, in twips.
    static constexpr double kWindowLeft = -50;
    static constexpr double kWindowTop = -60;
    static constexpr double kWindowWidth = 8500;
    static constexpr double kWindowHeight = 8000;

    盤表 将棋盤{};
    盤表 勢力盤{};
    持駒表 先手持駒{};
    持駒表 後手持駒{};
    int 先手持駒数 = 0;
    int 後手持駒数 = 0;

    int 手番 = 手番_無;
    int 手数 = 0;
    int 最終手数 = 0;
    int 対局モード = モード_人間;
    int 人間側 = 手番_先手;
    int COM側 = 手番_後手;
    int レベル = 3;

    // Input: 0 nothing picked, 1 a hand piece is picked.
    int 選択状態 = 0;
    // 1 source X, 2 source Y, 3 destination X, 4 destination Y, 6 kind; 0 the computer's
    // best score.
    std::array<int, 7> 移動情報{};
    int 成駒種類 = 0;

    // Every position of the match by move number.
    std::array<盤表, 記録数> 盤記録{};
    std::array<持駒表, 記録数> 先手持駒記録{};
    std::array<持駒表, 記録数> 後手持駒記録{};

    // The computer's working fields.
    盤表 勢力盤_保存{};
    int COM持駒数 = 0;
    int 基準_駒範囲数 = 0;
    int 候補駒 = 0;

    // ------------------------------------------------------------------ influence map
    void 駒範囲調査();
    void 駒範囲調査_移動駒(int IN_X, int IN_Y);
    void 勢力確定上直進(int 駒種類, int 入力X, int 入力Y);
    void 勢力確定下直進(int 駒種類, int 入力X, int 入力Y);
    void 勢力確定右直進(int 駒種類, int 入力X, int 入力Y);
    void 勢力確定左直進(int 駒種類, int 入力X, int 入力Y);
    void 勢力確定金(int 駒種類, int 入力X, int 入力Y);
    void 勢力確定角(int 入力X, int 入力Y);

    // ------------------------------------------------------------------ board tests
    int 調査_勢力外桝あるか();
    int 調査_駒範囲数();
    int 調査_駒成(int 移動駒種類);

    // ------------------------------------------------------------------ drops
    int 移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒種類);
    void 駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒);
    int 取得_持駒数(int IN_手番, int IN_Y);
    int 取得_全持駒数(int IN_手番);
    int 手番_取得(int IN_手数);

    // ------------------------------------------------------------------ record
    void 手順保存();
    void 保存_現将棋盤(int IN_手数);

    // ------------------------------------------------------------------ input, end, sound
    void Form_MouseDown(int Button, int Shift, double X, double Y);
    void 終了(const std::string& 勝手);
    void 音響(const std::string& IN_音);
    void 待ち時間(int IN_秒);

    // ------------------------------------------------------------------ highlights
    void 描画_移動可能桝色(int 移動元X, int 移動元Y, int 描画色, int 移動駒);
    void 描画_移動結果(double WK_X, double WK_Y, int 移動先X, int 移動先Y, int 移動駒, int 駒色);

    // ------------------------------------------------------------------ computer
    void com_ban();
    // The computer's search alone: the best drop from the left-hand column in the position
    // shown, leaving the board and the influence map as they were. False when none exists.
    struct ComDrop {
        int row = 0;
        int x = 0;
        int y = 0;
        int kind = 0;
    };
    bool chooseDrop(ComDrop& drop);
    int 盤評価(int 取得駒, int 移動駒, int 移動先X, int 移動先Y);

    // ------------------------------------------------------------------ menus
    void START_Click();
    void SENTE_Click();
    void GOTE_Click();
    void LEVEL1_Click();
    void LEVEL2_Click();
    void LEVEL3_Click();
    void OWARI_Click();
    void MATCH_MAN_Click();
    void Form_Unload();

    // ------------------------------------------------------------------ record navigation
    void REPLAY_Click();
    void AFTER_Click();
    void CANCEL_Click();

    // ------------------------------------------------------------------ start-up
    void Form_Load();
    void 初期画面設定();

    // ------------------------------------------------------------------ drawing primitives
    void 描画_絵(int 駒種類, double 座標X, double 座標Y);
    void 描画_桝輪郭(int 描画色, double 座標X, double 座標Y);
    void 描画_数値(double 入力X, double 入力Y, int 数値, int 色, int モード, int フォントサイズ);
    void 描画_数値(double 入力X, double 入力Y, const std::string& 数値, int 色, int モード,
                   int フォントサイズ);
    void 描画_文字列(double 入力X, double 入力Y, int 数値, int 色, int サイズ);

    // ------------------------------------------------------------------ board and hands
    void 描画_盤();
    void 描画_将棋盤桝();
    void 描画_先持盤(int IN_Y);
    void 描画_後持盤(int IN_Y);
    void 描画_先持駒(int IN_数字);
    void 描画_後持駒(int IN_数字);

    // ------------------------------------------------------------------ status
    void 描画_桝_数値();
    void 描画_勢力範囲();
    void 描画_手数(int 数値, int 色);
    void 描画_レベル(int IN_LEVEL);
    void 描画_移動駒種類(double 入力X, double 入力Y, int 駒種類, int 色);
    // The text of a file digit (1..9), a row numeral (1001..1009) or a kind code in the
    // notation of a drop; null for any other code.
    static const char* notationText(int code);

    // ------------------------------------------------------------------ summary
    // The position in words for a screen reader: whose turn or that no match runs, the move
    // number, the last drop in notation and the number of free squares left.
    std::string boardSummary() const;

    // ------------------------------------------------------------------ keys and words
    struct Twips {
        double x;
        double y;
    };
    // Where a press on the centre of grid cell (column, row) lands.
    static Twips squareCentre(int column, int row);
    // The hand square holding `kind` for the side to move (the right-hand column when no
    // match runs or the computer is to move): a press there picks it.
    Twips handSquareOf(int kind) const;
    // A board square as the game writes it: "５五".
    static std::string squareName(int X, int Y);
    // The square and what it holds: its piece, or free ("空き") or covered ("利き筋").
    std::string squareText(int X, int Y) const;
    // Whose hand a column is, and one slot of it with its count ("歩 9枚").
    std::string handOwnerName(bool rightHand) const;
    std::string handItemText(bool rightHand, int slot) const;
    // The drop of move 1..最終手数 as written beside the board ("５五歩"), empty otherwise.
    std::string dropText(int move) const;
    // The side's latest drop up to the position shown, with the side's name.
    std::string lastDropOf(int side) const;
    // The name of the side that made move `move`.
    std::string moverOf(int move) const;
    // The match so far, a line per drop; with no match running, the last match that came
    // to its end, with its result.
    std::string recordText() const;

    // ------------------------------------------------------------------ about box
    void VER_Click();
    // The about box's text, line by line joined with newlines.
    static std::string aboutText();

    // True once the application has been told to end: nothing is done after that.
    bool hasQuit() const { return quit_; }

private:
    Platform& platform_;
    bool fontBold_ = false;
    bool quit_ = false;

    void quitApplication();
    void announceEnd(const std::string& 結果文);
    void printShadowed(double x, double y, const std::string& text, int colour, int size);
    void setLevel(int level);
    bool startAllowed(int モード);
    void prepareComputerMatch();
    int piecesInHandOfSideToMove();
    void ringAndWarn(const std::string& text, const std::string& title);
    // "先手"/"後手" between persons; "あなた"/"ＣＯＭ" against the computer.
    std::string sideName(int side) const;
    std::string matchKindText() const;
    // The square where `after` holds a piece that `before` does not.
    static bool dropBetween(const 盤表& before, const 盤表& after, int& X, int& Y);
    // The record of the last match that came to its end, with its result.
    std::string finishedRecord_;
};
