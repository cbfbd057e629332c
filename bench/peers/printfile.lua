-- printfile N=1000000: the number with a leading blank and a text per line, CR LF; the file's length
local n = 1000000
local f = assert(io.open("bench-printfile.txt", "wb"))
for k = 1, n do f:write(" ", k, ",abcdefghij\r\n") end
f:close()
f = assert(io.open("bench-printfile.txt", "rb"))
print(f:seek("end"))
f:close()
