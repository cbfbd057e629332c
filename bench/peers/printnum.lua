-- printnum N=1000000: two fractional numbers (Lua's own conversion, 14 significant digits) and a text per line, CR LF; the file's length
local n = 1000000
local f = assert(io.open("bench-printnum.txt", "wb"))
for k = 1, n do f:write(" ", k / 7, ",abc ", k * 1.5, "\r\n") end
f:close()
f = assert(io.open("bench-printnum.txt", "rb"))
print(f:seek("end"))
f:close()
