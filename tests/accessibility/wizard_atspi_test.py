"""Drives the real wizard window through AT-SPI, as a screen reader would.

It finds every control by its role and spoken name, checks that typed work is
never dropped without the save question (New, a style click and Exit ask;
Cancel keeps the text, Don't save lets it go), picks a style with the
keyboard, types the folder and the listing file, goes through the pages with
Next, presses Make listing and waits for the status line to say the listing is
ready, counting how often the status line was announced on the way. Then it
saves the project through the Save as dialog and compares the listing with
the batch run of that project file.

Usage: wizard_atspi_test.py PROGRAM_FOLDER   (under xvfb-run and dbus-run-session)
Exit status: 0 passed, 1 failed, 77 skipped (no accessibility bus).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
STYLE = "Collapsible tree"
READY = "The listing is ready."
FILES = 60000

try:
    import pyatspi
    from gi.repository import Atspi, GLib
except ImportError as error:  # the reason is the whole report
    print(f"skipped: python3-pyatspi is not installed ({error})")
    sys.exit(SKIP)


class Failure(Exception):
    pass


def pump(seconds=0.0):
    """Lets AT-SPI deliver its events for `seconds`."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, check, timeout=30.0):
    end = time.monotonic() + timeout
    last = ""
    while time.monotonic() < end:
        try:
            found = check()
        except Failure as failure:  # not there yet
            found, last = None, f" ({failure})"
        if found:
            return found
        pump(0.1)
    raise Failure(f"timed out waiting for {what}{last}")


def walk(node, depth=0):
    if node is None or depth > 60:
        return
    yield node
    for index in range(node.childCount):
        yield from walk(node.getChildAtIndex(index), depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def spoken_name(node):
    """What a screen reader says the control is: a combo box's name is its
    value, so its label comes from the labelled-by relation."""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
        return ""
    return node.name


def find(root, role, name, shown=True):
    for node in walk(root):
        if node.getRole() == role and spoken_name(node) == name and (not shown or showing(node)):
            return node
    raise Failure(f"no {pyatspi.Role(role)} named {name!r}" + (" is showing" if shown else ""))


def press(button):
    action = button.queryAction()
    for index in range(action.nActions):
        if action.getName(index) in ("Press", "press", "click"):
            action.doAction(index)
            return
    action.doAction(0)


def press_opening_dialog(item):
    """Presses a control whose command runs a modal dialog: the application
    answers only once the dialog closes, so the call is left to time out."""
    Atspi.set_timeout(1000, -1)
    try:
        press(item)
    except GLib.Error:
        pass  # the dialog is open; the answer comes when it closes
    finally:
        Atspi.set_timeout(-1, -1)


def key(symbol):
    pyatspi.Registry.generateKeyboardEvent(symbol, None, pyatspi.KEY_SYM)
    pump(0.2)


def set_text(field, text):
    field.queryEditableText().setTextContents(text)
    pump(0.1)
    if field.queryText().getText(0, -1) != text:
        raise Failure(f"{field.name!r} did not take {text!r}")


def answer_question(app, text, answer):
    """Presses `answer` in the open save question, which must say `text`."""
    def box():
        for index in range(app.childCount):
            candidate = app.getChildAtIndex(index)
            if candidate is not None and any(n.getRole() == pyatspi.ROLE_LABEL and n.name == text
                                             for n in walk(candidate)):
                return candidate
        return None
    press(find(wait_for(f"the question {text!r}", box), pyatspi.ROLE_PUSH_BUTTON, answer))
    pump(0.3)


def text_of(field):
    return field.queryText().getText(0, -1)


def check_unsaved_work(app, window):
    """A typed folder survives New and a style click until the user lets it go."""
    typed = "/typed/folder"
    question = "Save changes to Untitled?"
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Next >"))
    field = wait_for("the source folder field", lambda: find(window, pyatspi.ROLE_TEXT, "Folder to list"))
    set_text(field, typed)
    wait_for("the changed title", lambda: window.name.startswith("* "))
    new = find(window, pyatspi.ROLE_PUSH_BUTTON, "New")
    press_opening_dialog(new)
    answer_question(app, question, "Cancel")
    if text_of(field) != typed:
        raise Failure(f"Cancel in the question of New left {text_of(field)!r}")
    press_opening_dialog(new)
    answer_question(app, question, "Don't save")
    wait_for("New to clear the folder", lambda: text_of(field) == "")

    # A style click asks too: Cancel keeps the style and the folder.
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Next >"))
    set_text(wait_for("the source folder field", lambda: find(window, pyatspi.ROLE_TEXT, "Folder to list")), typed)
    press(find(window, pyatspi.ROLE_PUSH_BUTTON, "< Back"))
    styles = wait_for("the style list", lambda: find(window, pyatspi.ROLE_LIST, "Styles"))
    first = styles.getChildAtIndex(0).name
    third = styles.getChildAtIndex(2)
    for answer in ("Cancel", "Don't save"):
        x, y, width, height = third.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")
        answer_question(app, question, answer)
        shown = "Picture of the style " + (first if answer == "Cancel" else third.name)
        wait_for(f"the style after {answer}", lambda: find(window, pyatspi.ROLE_LABEL, shown))
        if (text_of(field) == typed) != (answer == "Cancel"):
            raise Failure(f"{answer} in the question of a style click left {text_of(field)!r}")


def check_exit_asks(app, window, project):
    """Exit with a typed folder asks; Cancel keeps the window, Don't save ends it."""
    # The tab, not Back: every way of changing the tab changes the page.
    press(find(window, pyatspi.ROLE_PAGE_TAB, "Source"))
    field = wait_for("the source folder field", lambda: find(window, pyatspi.ROLE_TEXT, "Folder to list"))
    set_text(field, "/typed/again")
    file_menu = find(window, pyatspi.ROLE_MENU_ITEM, "File", shown=False)
    question = f"Save changes to {project}?"
    press_opening_dialog(find(file_menu, pyatspi.ROLE_MENU_ITEM, "Exit", shown=False))
    answer_question(app, question, "Cancel")
    if text_of(field) != "/typed/again":
        raise Failure("Cancel in the question of Exit dropped the typed folder")
    press_opening_dialog(find(file_menu, pyatspi.ROLE_MENU_ITEM, "Exit", shown=False))
    try:
        answer_question(app, question, "Don't save")
    except GLib.Error:
        pass  # the window, and the application with it, ended while answering


def make_tree(root):
    for index in range(FILES):
        folder = os.path.join(root, f"d{index % 600:03d}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"f{index:05d}.txt"), "w") as stream:
            stream.write("x" * (index % 50))


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == name:
            return app
    return None


def check_names(window):
    """Every focusable control that shows has a name a person understands."""
    nameless = []
    for node in walk(window):
        state = node.getState()
        if state.contains(pyatspi.STATE_FOCUSABLE) and showing(node) and not spoken_name(node).strip():
            nameless.append(f"{node.getRoleName()} in {node.parent.getRoleName() if node.parent else '?'}")
    if nameless:
        raise Failure("controls without a name: " + ", ".join(nameless))


def run(program_folder):
    work = tempfile.mkdtemp(prefix="dirscribe-atspi-")
    program = os.path.join(work, "program")
    shutil.copytree(program_folder, program)
    source = os.path.join(work, "tree")
    make_tree(source)
    listing = os.path.join(work, "out", "listing.html")
    os.makedirs(os.path.dirname(listing))
    project = os.path.join(work, "project.txt")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb", HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"))
    env.pop("DIRSCRIBE_TEST_HOOK", None)
    wizard = subprocess.Popen([os.path.join(program, "dirscribe")], env=env, cwd=work)
    try:
        app = wait_for("the wizard on the accessibility bus", lambda: find_application("dirscribe"))
        window = wait_for("its window", lambda: app.childCount > 0 and app.getChildAtIndex(0))
        wait_for("the style list", lambda: find(window, pyatspi.ROLE_LIST, "Styles"))
        check_names(window)
        check_unsaved_work(app, window)

        # Style: the keyboard picks the second style and Enter applies it.
        styles = find(window, pyatspi.ROLE_LIST, "Styles")
        # Without a window manager nothing activates the window: a click on
        # the empty end of the list does, and leaves the style as it was.
        x, y, width, height = styles.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height - 5, "b1c")
        pump(0.3)
        styles.queryComponent().grabFocus()
        wait_for("the focus on the style list", lambda: styles.getState().contains(pyatspi.STATE_FOCUSED))
        key(0xFF50)  # Home
        key(0xFF54)  # Down
        key(0xFF0D)  # Return
        wait_for(f"the style {STYLE!r} to show",
                 lambda: any(n.getRole() == pyatspi.ROLE_LABEL and n.name == STYLE for n in walk(window)))
        find(window, pyatspi.ROLE_LABEL, "Picture of the style " + STYLE)
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Next >"))

        # Source: the folder and the listing file.
        set_text(wait_for("the source folder field",
                          lambda: find(window, pyatspi.ROLE_TEXT, "Folder to list")), source)
        set_text(find(window, pyatspi.ROLE_TEXT, "Listing file"), listing)
        find(window, pyatspi.ROLE_COMBO_BOX, "Subfolders")
        check_names(window)
        # Each page is known by a control that shows only there.
        for page, role, name in (("Filter", pyatspi.ROLE_TEXT, "Skip files"),
                                 ("Options", pyatspi.ROLE_CHECK_BOX, "Show summary"),
                                 ("Build", pyatspi.ROLE_PUSH_BUTTON, "Make listing")):
            press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Next >"))
            wait_for(f"the {page} page", lambda: find(window, role, name))
            check_names(window)

        # Build: Make, counting what the status line announces on the way.
        status = next(n for n in walk(window) if n.getRole() == pyatspi.ROLE_LABEL and n.description == "Status")
        announced = []

        def on_name(event):
            if event.source == status:
                announced.append((time.monotonic(), event.source.name))

        pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
        started = time.monotonic()
        built_from = time.time()
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "Make listing"))
        wait_for("the finish text in the status line", lambda: status.name == READY, timeout=120)
        took = time.monotonic() - started
        pump(0.5)
        pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
        texts = [text for _, text in announced]
        if READY not in texts:
            raise Failure(f"the finish was not announced; announced {texts[-3:]}")
        progress = [text for text in texts if text and text != READY]
        if not progress:
            raise Failure("no progress was announced during the build")
        allowed = took / 0.25 + 3
        if len(announced) > allowed:
            raise Failure(f"{len(announced)} announcements in {took:.1f} s (at most {allowed:.0f})")
        print(f"announced {len(announced)} times in {took:.1f} s")
        if not os.path.exists(listing):
            raise Failure(f"the wizard wrote no listing at {listing}")
        from_wizard = open(listing, "rb").read()

        # Save as: the project file the batch run then builds.
        file_menu = find(window, pyatspi.ROLE_MENU_ITEM, "File", shown=False)
        press_opening_dialog(find(file_menu, pyatspi.ROLE_MENU_ITEM, "Save as...", shown=False))
        dialog = wait_for("the Save as dialog", lambda: next(
            (w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
             if w is not None and w.name == "Save project as"), None))
        name_field = wait_for("the file name field", lambda: next(
            (n for n in walk(dialog) if n.getRole() == pyatspi.ROLE_TEXT and showing(n)
             and n.name.startswith("File name")), None))
        set_text(name_field, project)
        press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Save"))
        wait_for("the project file", lambda: os.path.exists(project))
        check_exit_asks(app, window, project)
        if wizard.wait(30) != 0:
            raise Failure(f"the wizard ended with {wizard.returncode} after Exit")
    finally:
        wizard.terminate()
        try:
            wizard.wait(10)
        except subprocess.TimeoutExpired:
            wizard.kill()

    os.remove(listing)
    batch = subprocess.run([os.path.join(program, "dirscribe"), project], env=env,
                           capture_output=True, text=True, timeout=120)
    if batch.returncode != 0:
        raise Failure(f"the batch run of {project} failed: {batch.stderr.strip()}")
    if not same_listing(open(listing, "rb").read(), from_wizard, built_from, time.time()):
        raise Failure(f"the wizard's listing differs from the batch run's ({listing})")
    shutil.rmtree(work)
    print("the wizard's listing equals the batch run's")


def same_listing(batch, wizard, since, until):
    """Whether two listings of one tree are the same. The page says when it
    was written, to the minute, so a minute that turned between the wizard's
    build and the batch run (`since` to `until`, seconds since 1970) may stand
    in either page."""
    if batch == wizard:
        return True
    minutes = {time.strftime("%Y-%m-%d %H:%M", time.localtime(t)).encode()
               for t in [*range(int(since), int(until) + 1, 60), until]}
    if len(minutes) < 2:
        return False
    for minute in minutes:
        batch = batch.replace(minute, b"@")
        wizard = wizard.replace(minute, b"@")
    return batch == wizard


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:  # no bus: say why and skip
        print(f"skipped: no accessibility bus could be reached ({error})")
        return SKIP
    try:
        run(os.path.abspath(argv[1]))
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
