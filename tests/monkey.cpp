// Monkey test of the real window: thousands of random X events (presses anywhere, menus, keys,
// close requests, unmapping and mapping) sent to the running program on an X server, biased so
// that matches get played to their end. After every event the window must answer a
// _NET_WM_PING within 5 s; at quiet moments the board is read back from the screen and checked
// against the rules. A crash, a hang, a sanitizer report or an impossible picture fails the run
// with its seed and event number. When the program quits on its own, it is started again.
//
// Usage: kovalt_monkey path/to/kovalt [seconds]
// Environment: KOVALT_MONKEY_SEED, KOVALT_MONKEY_EVENTS, KOVALT_MONKEY_MINUTES override the
// seed, the number of events and the time limit; DISPLAY names the X server.
#include <QImage>
#include <QString>

// Xlib's macros (Status, CursorShape, ...) clash with Qt's names: it comes after Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/form1.h"
#include "platform/client_size.h"

namespace {

using Clock = std::chrono::steady_clock;

// How far, in pixels, the longest left-hand drop text reaches into the board.
constexpr int kTextOverrun = 18;

// A platform that does nothing: the game object serves only as the rule book here.
class RuleBookPlatform : public Platform {
public:
    void paintPicture(Picture, double, double) override {}
    void outlineRect(double, double, double, double, int) override {}
    void printText(double, double, const std::string&, double, bool, int) override {}
    void setBackgroundColour(int) override {}
    void repaintNow() override {}
    void showMessage(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void playSound(const std::string&) override {}
    int clockSeconds() override { return 0; }
    void rest() override {}
    void quit() override {}
    void setMenuChecked(const std::string&, bool) override {}
    double windowTop() override { return Form1::kWindowTop; }
    void placeWindow(double, double, double, double) override {}
};

// What a board square shows.
enum class Shown { Empty, Covered, Piece, Unknown };

struct Cell {
    Shown shown = Shown::Unknown;
    int kind = 0; // the piece's kind when shown is Piece
};
using Board = std::array<std::array<Cell, 10>, 10>;

struct Reference {
    QImage image;
    Shown shown;
    int kind;
};

// The pictures a board square may show, at scale 1.
std::vector<Reference> loadReferences(const std::string& dir) {
    const std::pair<const char*, int> pieces[] = {
        {"SITA_HU_0", Form1::駒_歩},     {"SITA_HU_1", Form1::駒_と},
        {"SITA_KYOU_0", Form1::駒_香},   {"SITA_KYOU_1", Form1::駒_香成},
        {"SITA_KEI_0", Form1::駒_桂},    {"SITA_KEI_1", Form1::駒_桂成},
        {"SITA_GIN_0", Form1::駒_銀},    {"SITA_GIN_1", Form1::駒_銀成},
        {"SITA_KIN", Form1::駒_金},      {"SITA_KAKU_0", Form1::駒_角},
        {"SITA_KAKU_1", Form1::駒_角成}, {"SITA_SYA_0", Form1::駒_飛},
        {"SITA_SYA_1", Form1::駒_飛成},  {"SITA_OU", Form1::駒_王},
    };
    std::vector<Reference> refs;
    auto load = [&dir](const char* name) {
        QImage image(QString::fromStdString(dir + "/" + name + ".png"));
        if (image.isNull()) {
            std::fprintf(stderr, "monkey: cannot read picture %s in %s\n", name, dir.c_str());
            std::exit(2);
        }
        return image.convertToFormat(QImage::Format_RGB32);
    };
    refs.push_back({load("KARA_MASU"), Shown::Empty, 0});
    refs.push_back({load("KARA_MASU2"), Shown::Covered, 0});
    for (const auto& [name, kind] : pieces) {
        refs.push_back({load(name), Shown::Piece, kind});
    }
    return refs;
}

// Top-left pixel of a grid cell in the canvas.
int cellLeft(int gx) {
    return static_cast<int>(std::lround((Form1::盤X + gx * Form1::桝幅) / kTwipsPerPixel));
}
int cellTop(int gy) {
    return static_cast<int>(std::lround((Form1::盤Y + gy * Form1::桝高) / kTwipsPerPixel));
}

// Windows come and go while they are looked at: such errors are expected and harmless.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

long envNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

struct Failure {
    std::string what;
};
struct Unsettled {};

// The program under test, restarted whenever it ends on its own.
class Program {
public:
    Program(std::string path, std::string logDir)
        : path_(std::move(path)), logDir_(std::move(logDir)) {}
    ~Program() { stop(); }

    void start() {
        ++runs_;
        log_ = logDir_ + "/run-" + std::to_string(runs_) + ".log";
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            dup2(fd, 2);
            execl(path_.c_str(), path_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // Whether it has ended; fails on a crash or an error status.
    bool ended() {
        if (pid_ <= 0) {
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) {
            return false;
        }
        pid_ = -1;
        checkLog();
        if (WIFSIGNALED(status)) {
            throw Failure{"the program died of signal " + std::to_string(WTERMSIG(status))};
        }
        if (WEXITSTATUS(status) != 0) {
            throw Failure{"the program exited with status " + std::to_string(WEXITSTATUS(status))};
        }
        return true;
    }

    // Sanitizer reports in the program's output fail the run.
    void checkLog() const {
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (const char* sign : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer",
                                 "runtime error:"}) {
            const auto at = s.find(sign);
            if (at != std::string::npos) {
                const auto from = s.rfind('\n', at);
                throw Failure{"sanitizer report in " + log_ + ":\n" +
                              s.substr(from == std::string::npos ? 0 : from + 1, 2000)};
            }
        }
    }

    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    pid_t pid() const { return pid_; }
    int runs() const { return runs_; }
    const std::string& log() const { return log_; }

private:
    std::string path_;
    std::string logDir_;
    std::string log_;
    pid_t pid_ = -1;
    int runs_ = 0;
};

struct Window {
    ::Window id = 0;
    int x = 0, y = 0, width = 0, height = 0; // on the screen
    bool viewable = false;
    bool popup = false; // override-redirect: a menu or a tooltip
};

class Monkey {
public:
    Monkey(Display* display, Program& program, std::vector<Reference> refs, unsigned seed)
        : d_(display), root_(DefaultRootWindow(display)), program_(program), refs_(std::move(refs)),
          random_(seed) {
        pidAtom_ = XInternAtom(d_, "_NET_WM_PID", False);
        protocols_ = XInternAtom(d_, "WM_PROTOCOLS", False);
        ping_ = XInternAtom(d_, "_NET_WM_PING", False);
        delete_ = XInternAtom(d_, "WM_DELETE_WINDOW", False);
        stackingAtom_ = XInternAtom(d_, "_NET_CLIENT_LIST_STACKING", False);
        // Qt sends its ping answers to the root window for the structure-notify listeners.
        XSelectInput(d_, root_, StructureNotifyMask);
        rules_.emplace(rulePlatform_);
    }

    int matchesEnded = 0;
    int boardsChecked = 0;
    int restarts = 0;

    void begin() { launch(); }

    // One random event, then the liveness check and, at a quiet moment, the board check.
    void step() {
        refresh();
        const double r = uniform();
        if (unmapped_ > 0 && --unmapped_ == 0 && main_.id != 0) {
            XMapWindow(d_, main_.id);
        }
        if (const Window* box = topBox()) {
            answerBox(*box, r);
        } else if (const Window* menu = topPopup()) {
            useMenu(*menu, r);
        } else {
            onMainWindow(r);
        }
        XSync(d_, False);
        settle();
    }

private:
    double uniform() { return std::uniform_real_distribution<double>(0, 1)(random_); }
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void launch() {
        program_.start();
        // A new client may be given the window ids of the one before.
        owners_.clear();
        main_ = Window{};
        previous_.reset();
        lastSide_ = 0;
        unmapped_ = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (main_.id == 0 || !main_.viewable) {
            if (program_.ended()) {
                throw Failure{"the program ended while starting"};
            }
            if (Clock::now() > deadline) {
                throw Failure{"the window did not appear within 30 s"};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            refresh();
        }
        alive();
    }

    // Collects the program's windows from the whole window tree.
    void refresh() {
        windows_.clear();
        collect();
        for (const Window& w : windows_) {
            if (!w.popup && w.width == kClientWidth && w.height > kClientHeight) {
                main_ = w;
            }
        }
    }

    // The program's windows: children of the root (all of them without a window manager,
    // menus and withdrawn windows with one), then those a window manager manages, bottom to top.
    void collect() {
        ::Window rootReturn, parent, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(d_, root_, &rootReturn, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                consider(children[i]);
            }
            if (children != nullptr) {
                XFree(children);
            }
        }
        Atom type;
        int format;
        unsigned long items = 0, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d_, root_, stackingAtom_, 0, 4096, False, XA_WINDOW, &type, &format,
                               &items, &after, &data) == Success &&
            data != nullptr) {
            const auto* managed = reinterpret_cast<const unsigned long*>(data);
            for (unsigned long i = 0; i < items; ++i) {
                consider(static_cast<::Window>(managed[i]));
            }
        }
        if (data != nullptr) {
            XFree(data);
        }
    }

    void consider(::Window w) {
        if (!ownedByProgram(w)) {
            return;
        }
        XWindowAttributes a;
        if (!XGetWindowAttributes(d_, w, &a)) {
            return;
        }
        Window found;
        found.id = w;
        found.width = a.width;
        found.height = a.height;
        found.viewable = a.map_state == IsViewable;
        found.popup = a.override_redirect;
        if (found.viewable) {
            ::Window child;
            XTranslateCoordinates(d_, w, root_, 0, 0, &found.x, &found.y, &child);
        }
        windows_.push_back(found);
    }

    bool ownedByProgram(::Window w) {
        // A window keeps its owner: ask the server once per window.
        const auto known = owners_.find(w);
        if (known != owners_.end()) {
            return known->second == program_.pid();
        }
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        pid_t owner = 0;
        if (XGetWindowProperty(d_, w, pidAtom_, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) == Success &&
            data != nullptr) {
            if (items == 1) {
                owner = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
            }
        }
        if (data != nullptr) {
            XFree(data);
        }
        owners_[w] = owner;
        return owner == program_.pid();
    }

    const Window* topBox() const {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if (it->viewable && !it->popup && it->id != main_.id && it->width > 40) {
                return &*it;
            }
        }
        return nullptr;
    }
    const Window* topPopup() const {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if (it->viewable && it->popup && it->width > 20 && it->height > 20) {
                return &*it;
            }
        }
        return nullptr;
    }

    // ------------------------------------------------------------------ input
    void moveTo(int x, int y) { XTestFakeMotionEvent(d_, -1, x, y, CurrentTime); }
    void click(int x, int y, unsigned button = 1) {
        moveTo(x, y);
        XTestFakeButtonEvent(d_, button, True, CurrentTime);
        XTestFakeButtonEvent(d_, button, False, CurrentTime);
        XSync(d_, False);
    }
    void key(KeySym sym) {
        const KeyCode code = XKeysymToKeycode(d_, sym);
        if (code != 0) {
            XTestFakeKeyEvent(d_, code, True, CurrentTime);
            XTestFakeKeyEvent(d_, code, False, CurrentTime);
        }
    }
    void randomKey() {
        static const KeySym keys[] = {XK_Escape, XK_Return, XK_space, XK_Alt_L, XK_Left,
                                      XK_Right,  XK_Up,     XK_Down,  XK_Tab,   XK_a,
                                      XK_n,      XK_y,      XK_q,     XK_F10,   XK_BackSpace};
        key(keys[below(static_cast<int>(std::size(keys)))]);
    }
    unsigned randomButton() {
        const double r = uniform();
        return r < 0.8 ? 1 : r < 0.93 ? 3 : 2;
    }
    void closeRequest(::Window w) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = protocols_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(delete_);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d_, w, False, NoEventMask, &e);
    }

    // Screen position of a grid cell's middle.
    std::pair<int, int> cellCentre(double gx, double gy) const {
        const int menubar = main_.height - kClientHeight;
        return {main_.x + cellLeft(0) + static_cast<int>((gx + 0.5) * 33),
                main_.y + menubar + cellTop(0) + static_cast<int>((gy + 0.5) * 41)};
    }

    void answerBox(const Window& box, double r) {
        if (r < 0.45) {
            key(r < 0.25 ? XK_Return : r < 0.38 ? XK_space : XK_Escape);
        } else if (r < 0.7) {
            // Its buttons sit along the bottom edge.
            click(box.x + box.width / 2 + below(box.width / 2), box.y + box.height - 8 - below(20));
        } else if (r < 0.8) {
            click(box.x + below(box.width), box.y + below(box.height), randomButton());
        } else if (r < 0.86) {
            closeRequest(box.id);
        } else if (r < 0.93) {
            click(main_.x + below(main_.width), main_.y + below(main_.height), randomButton());
        } else {
            randomKey();
        }
    }

    void useMenu(const Window& menu, double r) {
        if (r < 0.35) {
            click(menu.x + 10 + below(std::max(1, menu.width - 20)), menu.y + below(menu.height));
        } else if (r < 0.5) {
            moveTo(menu.x + below(menu.width), menu.y + below(menu.height));
        } else if (r < 0.65) {
            key(XK_Escape);
        } else if (r < 0.88) {
            static const KeySym keys[] = {XK_Escape, XK_Down, XK_Up, XK_Left, XK_Right, XK_Return};
            key(keys[below(6)]);
        } else {
            click(main_.x + below(main_.width), main_.y + below(main_.height), randomButton());
        }
    }

    // The newest popup that was not there before, waiting for it a little.
    std::optional<Window> newPopup(::Window besides) {
        for (int i = 0; i < 50; ++i) {
            refresh();
            const Window* p = topPopup();
            if (p != nullptr && p->id != besides) {
                return *p;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    // 対局 > item i of 4, then item j of m in its submenu.
    void menuCommand(int i, std::optional<std::pair<int, int>> sub) {
        click(main_.x + 22, main_.y + 9);
        const auto menu = newPopup(0);
        if (!menu) {
            return;
        }
        const int iy = menu->y + 4 + (menu->height - 8) * (2 * i + 1) / 8;
        if (!sub) {
            click(menu->x + menu->width / 2, iy);
            return;
        }
        // A press on a submenu's item opens it at once, without the hover delay.
        click(menu->x + menu->width / 2, iy);
        const auto submenu = newPopup(menu->id);
        if (!submenu) {
            return;
        }
        const auto [j, m] = *sub;
        click(submenu->x + submenu->width / 2,
              submenu->y + 4 + (submenu->height - 8) * (2 * j + 1) / (2 * m));
    }

    void onMainWindow(double r) {
        if (main_.id == 0) {
            return;
        }
        if (r < 0.45) {
            playDrop();
        } else if (r < 0.55) {
            // New matches: against a person, or against the computer moving first or second.
            const int kind = below(3);
            if (kind == 0) {
                menuCommand(0, std::pair{0, 1});
            } else {
                menuCommand(1, std::pair{kind - 1, 2});
            }
        } else if (r < 0.533) {
            menuCommand(3, std::nullopt); // 終わり
        } else if (r < 0.6) {
            static const int items[] = {22, 60, 92, 118, 155};
            click(main_.x + items[below(5)], main_.y + 9, randomButton());
        } else if (r < 0.75) {
            click(main_.x + below(main_.width), main_.y + below(main_.height), randomButton());
        } else if (r < 0.88) {
            randomKey();
        } else if (r < 0.883) {
            closeRequest(main_.id);
        } else if (r < 0.89 && unmapped_ == 0) {
            XUnmapWindow(d_, main_.id);
            unmapped_ = 1 + below(4);
        } else {
            // A press on a hand square or a board square alone.
            const auto [x, y] = cellCentre(below(13) - 1, 1 + below(9));
            click(x, y, randomButton());
        }
    }

    // A hand square, then most of the time a board square shown free.
    void playDrop() {
        int side = lastSide_ == 0 ? (below(2) == 0 ? 1 : -1) : lastSide_;
        if (uniform() < 0.15) {
            side = -side;
        }
        pendingSide_ = side;
        std::vector<int> stocked;
        for (int k = 1; k <= 8; ++k) {
            if (inHand_[side > 0 ? 0 : 1][k]) {
                stocked.push_back(k);
            }
        }
        const int slot = !stocked.empty() && uniform() < 0.9
                             ? stocked[below(static_cast<int>(stocked.size()))]
                             : 1 + below(8);
        const auto [hx, hy] = side > 0 ? cellCentre(11, slot + 1) : cellCentre(-1, 9 - slot);
        click(hx, hy);
        std::vector<std::pair<int, int>> free;
        if (previous_) {
            for (int X = 1; X <= 9; ++X) {
                for (int Y = 1; Y <= 9; ++Y) {
                    if ((*previous_)[X][Y].shown == Shown::Empty) {
                        free.emplace_back(X, Y);
                    }
                }
            }
        }
        int X = 1 + below(9);
        int Y = 1 + below(9);
        if (!free.empty() && uniform() < 0.85) {
            std::tie(X, Y) = free[below(static_cast<int>(free.size()))];
        }
        const auto [bx, by] = cellCentre(X, Y);
        click(bx, by, uniform() < 0.15 ? 3 : 1);
    }

    // ------------------------------------------------------------------ checks
    // The window answers a ping; a program that ended on its own is started again.
    void settle() {
        if (!alive()) {
            ++restarts;
            launch();
            return;
        }
        refresh();
        if (quiet()) {
            try {
                checkBoard();
            } catch (const Unsettled&) {
                // Something was still moving on the screen: the next quiet moment will tell.
            }
        }
    }

    // No menu and no box open, and the window shown.
    bool quiet() {
        refresh();
        return topBox() == nullptr && topPopup() == nullptr && main_.viewable;
    }

    bool alive() {
        if (program_.ended()) {
            return false;
        }
        if (main_.id == 0) {
            return true;
        }
        const long stamp = ++pings_;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = main_.id;
        e.xclient.message_type = protocols_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(ping_);
        e.xclient.data.l[1] = stamp;
        e.xclient.data.l[2] = static_cast<long>(main_.id);
        XSendEvent(d_, main_.id, False, NoEventMask, &e);
        XFlush(d_);
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            while (XPending(d_) > 0) {
                XEvent in;
                XNextEvent(d_, &in);
                if (in.type == ClientMessage && in.xclient.message_type == protocols_ &&
                    static_cast<Atom>(in.xclient.data.l[0]) == ping_ &&
                    in.xclient.data.l[1] == stamp) {
                    return true;
                }
            }
            if (program_.ended()) {
                return false;
            }
            pollfd fd{ConnectionNumber(d_), POLLIN, 0};
            poll(&fd, 1, 10);
        }
        throw Failure{"the window did not answer a ping within 5 s"};
    }

    std::vector<uint32_t> capture() {
        const int menubar = main_.height - kClientHeight;
        XImage* image =
            XGetImage(d_, main_.id, 0, menubar, kClientWidth, kClientHeight, AllPlanes, ZPixmap);
        std::vector<uint32_t> pixels;
        if (image == nullptr) {
            return pixels;
        }
        pixels.resize(static_cast<std::size_t>(kClientWidth) * kClientHeight);
        const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
        for (int y = 0; y < kClientHeight; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
            for (int x = 0; x < kClientWidth; ++x) {
                const auto pixel = direct ? row[x] : static_cast<uint32_t>(XGetPixel(image, x, y));
                pixels[static_cast<std::size_t>(y) * kClientWidth + x] = pixel & 0xffffffu;
            }
        }
        XDestroyImage(image);
        return pixels;
    }

    // Pure cyan: the keyboard cursor's colour, which no picture has.
    static constexpr uint32_t kCursorColour = 0x00ffffu;

    Cell classify(const std::vector<uint32_t>& pixels, int gx, int gy) const {
        const int x0 = cellLeft(gx);
        const int y0 = cellTop(gy);
        // The left-hand drop text (a file, a numeral and a two-character kind, as in 1九飛成)
        // runs on into the board's bottom-left square: only the rest of that square is read.
        const int firstColumn = gx == 1 && gy == 9 ? kTextOverrun : 1;
        for (const Reference& ref : refs_) {
            bool same = true;
            // The frame lines lie on the picture's outer rows and columns.
            for (int y = 1; same && y < ref.image.height() - 1; ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(ref.image.constScanLine(y));
                for (int x = firstColumn; x < ref.image.width() - 1; ++x) {
                    const uint32_t shown =
                        pixels[static_cast<std::size_t>(y0 + y) * kClientWidth + x0 + x];
                    // The board keys' cursor frame lies over the square's picture.
                    if ((row[x] & 0xffffffu) != shown && shown != kCursorColour) {
                        same = false;
                        break;
                    }
                }
            }
            if (same) {
                return {ref.shown, ref.kind};
            }
        }
        return {};
    }

    void checkBoard() {
        // Two equal pictures with a ping between them: the window has finished drawing.
        std::vector<uint32_t> first = capture();
        if (!alive()) {
            return;
        }
        std::vector<uint32_t> second = capture();
        if (first.empty() || first != second || !quiet()) {
            return;
        }
        Board board;
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                board[X][Y] = classify(second, X, Y);
                if (board[X][Y].shown == Shown::Unknown) {
                    fail(second, "square " + std::to_string(X) + "," + std::to_string(Y) +
                                     " shows no empty, covered or piece picture");
                }
            }
        }
        Form1& rules = *rules_;
        int pieces = 0;
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                rules.将棋盤[X][Y] = board[X][Y].shown == Shown::Piece ? board[X][Y].kind : 0;
                pieces += board[X][Y].shown == Shown::Piece;
            }
        }
        rules.駒範囲調査();
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                if (board[X][Y].shown == Shown::Piece) {
                    continue;
                }
                const bool covered = rules.勢力盤[X][Y] > 0;
                if (covered != (board[X][Y].shown == Shown::Covered)) {
                    fail(second, "square " + std::to_string(X) + "," + std::to_string(Y) +
                                     (covered ? " is covered by the pieces shown but shown free"
                                              : " is shown covered but no piece shown covers it"));
                }
            }
        }
        if (previous_) {
            // Drops only add pieces: when every piece shown before is still there, the new
            // ones went to squares that were free.
            bool added = true;
            int before = 0;
            for (int X = 1; X <= 9; ++X) {
                for (int Y = 1; Y <= 9; ++Y) {
                    const Cell& was = (*previous_)[X][Y];
                    if (was.shown == Shown::Piece) {
                        ++before;
                        added = added && board[X][Y].shown == Shown::Piece &&
                                board[X][Y].kind == was.kind;
                    }
                }
            }
            if (added) {
                for (int X = 1; X <= 9; ++X) {
                    for (int Y = 1; Y <= 9; ++Y) {
                        if (board[X][Y].shown == Shown::Piece &&
                            (*previous_)[X][Y].shown == Shown::Covered) {
                            fail(second, "a piece appeared on square " + std::to_string(X) + "," +
                                             std::to_string(Y) + ", which was shown covered");
                        }
                    }
                }
                // One new piece: that side moved, the other is next; two: the computer
                // answered, the same side is next.
                if (pieces == before + 1) {
                    lastSide_ = -pendingSide_;
                } else if (pieces == before + 2) {
                    lastSide_ = pendingSide_;
                }
            }
        }
        if (freeSquares(board) == 0 && (!previous_ || freeSquares(*previous_) > 0)) {
            ++matchesEnded;
        }
        // Which hand stocked still show a piece.
        for (int k = 1; k <= 8; ++k) {
            inHand_[0][k] = classify(second, 11, k + 1).shown == Shown::Piece;
            inHand_[1][k] = classify(second, -1, 9 - k).shown == Shown::Piece;
        }
        previous_ = board;
        ++boardsChecked;
    }

    // Fails the run, keeping the picture that showed the fault beside the program's output.
    // A picture that stays the same a moment later is a fault; one that changes was taken
    // while the window was still drawing.
    [[noreturn]] void fail(const std::vector<uint32_t>& pixels, const std::string& what) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!alive() || !quiet() || capture() != pixels) {
            throw Unsettled{};
        }
        QImage shot(kClientWidth, kClientHeight, QImage::Format_RGB32);
        for (int y = 0; y < kClientHeight; ++y) {
            for (int x = 0; x < kClientWidth; ++x) {
                shot.setPixel(x, y,
                              0xff000000u | pixels[static_cast<std::size_t>(y) * kClientWidth + x]);
            }
        }
        const std::string file = program_.log() + ".png";
        shot.save(QString::fromStdString(file));
        throw Failure{what + " (picture in " + file + ")"};
    }

    static int freeSquares(const Board& board) {
        int n = 0;
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                n += board[X][Y].shown == Shown::Empty;
            }
        }
        return n;
    }

    Display* d_;
    ::Window root_;
    Program& program_;
    std::vector<Reference> refs_;
    std::mt19937 random_;
    RuleBookPlatform rulePlatform_;
    std::optional<Form1> rules_;
    Atom pidAtom_, protocols_, ping_, delete_, stackingAtom_;
    std::vector<Window> windows_;
    std::map<::Window, pid_t> owners_;
    Window main_;
    std::optional<Board> previous_;
    int lastSide_ = 0;
    // Hand stocked 1..8 that showed a piece, for the first and the second side.
    std::array<std::array<bool, 9>, 2> inHand_{};
    int pendingSide_ = 1;
    int unmapped_ = 0;
    long pings_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s path/to/kovalt [seconds]\n", argv[0]);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    const unsigned seed = static_cast<unsigned>(
        envNumber("KOVALT_MONKEY_SEED", static_cast<long>(std::random_device{}() & 0x7fffffff)));
    const long events = envNumber("KOVALT_MONKEY_EVENTS", 1000000);
    const double seconds = envNumber("KOVALT_MONKEY_MINUTES", 0) > 0
                               ? 60.0 * static_cast<double>(envNumber("KOVALT_MONKEY_MINUTES", 0))
                               : (argc > 2 ? std::atof(argv[2]) : 60.0);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "monkey: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    int ev, er, major, minor;
    if (!XTestQueryExtension(display, &ev, &er, &major, &minor)) {
        std::fprintf(stderr, "monkey: the X server has no XTEST extension\n");
        return 2;
    }
    char logDir[] = "/tmp/kovalt-monkey-XXXXXX";
    if (mkdtemp(logDir) == nullptr) {
        return 2;
    }
    std::printf("monkey: seed %u, up to %ld events or %.0f s; program output in %s\n", seed, events,
                seconds, logDir);
    std::fflush(stdout);

    Program program(argv[1], logDir);
    Monkey monkey(display, program, loadReferences(KOVALT_PICTURES_DIR), seed);
    const auto start = Clock::now();
    long done = 0;
    try {
        monkey.begin();
        while (done < events &&
               std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
            monkey.step();
            ++done;
            if (done % 250 == 0) {
                program.checkLog();
            }
        }
        program.checkLog();
    } catch (const Failure& failure) {
        std::printf("monkey: FAILED at event %ld (seed %u, run %d, output %s): %s\n", done, seed,
                    program.runs(), program.log().c_str(), failure.what.c_str());
        return 1;
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("monkey: %ld events in %.1f s, %d boards checked, %d matches ended, %d restarts "
                "(seed %u)\n",
                done, took, monkey.boardsChecked, monkey.matchesEnded, monkey.restarts, seed);
    program.stop();
    XCloseDisplay(display);
    return monkey.boardsChecked > 0 ? 0 : 1;
}
