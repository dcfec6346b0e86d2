"""One harness for the end-to-end tests and the benchmarks: a desktop of their own (an X
server with openbox, a headless sway, mutter or KWin: desktop.start_desktop), the
local exam service (service.ExamService), and launches of a program in a fresh home with
every process gone at the end (launch.Launch). The tests drive it through
`python3 -m harness` (see __main__.py); the benchmarks import it."""
