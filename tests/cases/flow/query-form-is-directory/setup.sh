mkdir query.frm
