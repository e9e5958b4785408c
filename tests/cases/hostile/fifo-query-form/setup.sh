# The query form is a FIFO that nobody writes to: opening it for reading would block.
mkfifo query.frm
